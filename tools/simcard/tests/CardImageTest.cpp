#include "tools/simcard/core/CardImage.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

TEST(CardImageTest, SerialisedImageParsesBackEqual) {
    auto image = CardImage::create({});
    EXPECT_EQ(CardImage::parse(image.serialise()), image);
}

} // namespace
} // namespace simcard

// The work a run over many readers shares: which site each card gets, when the run is
// over, and which cards are written, asked about or refused.
#include "editor/sim/BatchWork.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

using namespace std::chrono_literals;

BatchSettings Sites(std::size_t sites, std::optional<int> count = std::nullopt) {
    BatchSettings settings;
    settings.perSite = sites > 0;
    for (std::size_t site = 0; site < std::max<std::size_t>(sites, 1); ++site) {
        settings.programs.push_back({static_cast<int>(site + 1), {"TL1=1"}});
    }
    settings.count = count;
    return settings;
}

CardAttempt Ended(CardOutcome outcome) {
    CardJob job;
    job.outcome = outcome;
    return {job, {}};
}

struct Recorder {
    std::vector<std::size_t> logged; // readers, in the order their cards were logged
    int waitsEnded = 0;
};

BatchWork Work(const BatchSettings& settings, Recorder& recorder) {
    return BatchWork(
        settings, nullptr,
        [&recorder](std::size_t reader, const CardJob&) { recorder.logged.push_back(reader); },
        [&recorder] { ++recorder.waitsEnded; });
}

// Each step: a reader claims (+), or a card ends ok or failed; what the claim got.
TEST(BatchWorkTest, SitesGoOutInOrderAndAFailedCardsSiteGoesOutFirst) {
    const BatchSettings settings = Sites(3);
    Recorder recorder;
    BatchWork work = Work(settings, recorder);
    const auto a = work.claim();
    const auto b = work.claim();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->program, 0u);
    EXPECT_EQ(b->program, 1u);
    work.finish(1, *b, Ended(CardOutcome::WriteError)); // site 2 comes back
    const auto c = work.claim();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->program, 1u) << "the site given back goes out before site 3";
    EXPECT_EQ(c->card, 3);
    work.finish(0, *a, Ended(CardOutcome::Ok));
    work.finish(1, *c, Ended(CardOutcome::Ok));
    const auto d = work.claim();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->program, 2u);
    EXPECT_FALSE(work.over());
    EXPECT_EQ(recorder.waitsEnded, 0);
    work.finish(2, *d, Ended(CardOutcome::Ok));
    EXPECT_TRUE(work.over());
    EXPECT_EQ(recorder.waitsEnded, 1) << "the readers' waits end once the sites are done";
    EXPECT_FALSE(work.claim());
    EXPECT_EQ(recorder.logged, (std::vector<std::size_t>{1, 0, 1, 2}));
    const BatchSummary summary = work.summary();
    EXPECT_EQ(summary.cards, 4);
    EXPECT_EQ(summary.cardsOk, 3);
}

// A card that asks while every site left (or every card --count allows) is in another
// reader's hands waits: for a site given back, or for the run to be over.
TEST(BatchWorkTest, AClaimWaitsForASiteGivenBackOrTheEnd) {
    struct Case {
        const char* what;
        BatchSettings settings;
        CardOutcome firstCard;
        bool secondGetsWork;
    };
    const Case cases[] = {
        {"the one site's card fails", Sites(1), CardOutcome::CardRemoved, true},
        {"the one site's card ends ok", Sites(1), CardOutcome::Ok, false},
        {"--count 1, the card fails", Sites(0, 1), CardOutcome::WriteError, false},
        {"--count 1, the card refused as in another reader", Sites(0, 1),
         CardOutcome::DuplicateCard, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder recorder;
        BatchWork work = Work(c.settings, recorder);
        const auto first = work.claim();
        ASSERT_TRUE(first);
        std::promise<void> waiting;
        auto second = std::async(std::launch::async,
                                 [&] { return work.claim([&] { waiting.set_value(); }); });
        ASSERT_EQ(waiting.get_future().wait_for(5s), std::future_status::ready);
        EXPECT_EQ(second.wait_for(50ms), std::future_status::timeout);
        work.finish(0, *first, Ended(c.firstCard));
        ASSERT_EQ(second.wait_for(5s), std::future_status::ready);
        const auto got = second.get();
        EXPECT_EQ(got.has_value(), c.secondGetsWork);
        EXPECT_EQ(work.over(), !c.secondGetsWork);
    }
}

TEST(BatchWorkTest, ACardIsWrittenRefusedOrAskedAboutByItsIccid) {
    struct Case {
        const char* what;
        std::size_t reader;
        std::string iccid;
        bool answer;
        CardAdmission admission;
        bool asked;
    };
    // Reader 0 holds ...01 now; ...02 ended earlier in this run.
    const Case cases[] = {
        {"a new card", 1, "8949000000000000003", false, CardAdmission::Write, false},
        {"the card another reader holds", 1, "8949000000000000001", true, CardAdmission::Refuse,
         false},
        {"a card put back, written again", 1, "8949000000000000002", true, CardAdmission::Write,
         true},
        {"a card put back, left alone", 2, "8949000000000000002", false, CardAdmission::Skip, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BatchSettings settings = Sites(0);
        Recorder recorder;
        BatchWork work = Work(settings, recorder);
        const auto never = [](const std::string&) -> bool { throw std::logic_error("asked"); };
        const auto earlier = work.claim();
        ASSERT_EQ(work.admit(1, "8949000000000000002", never), CardAdmission::Write);
        work.finish(1, *earlier, Ended(CardOutcome::Ok));
        ASSERT_TRUE(work.claim());
        ASSERT_EQ(work.admit(0, "8949000000000000001", never), CardAdmission::Write);
        bool asked = false;
        EXPECT_EQ(work.admit(c.reader, c.iccid,
                             [&](const std::string&) {
                                 asked = true;
                                 return c.answer;
                             }),
                  c.admission);
        EXPECT_EQ(asked, c.asked);
    }
}

TEST(BatchWorkTest, StopEndsTheWaitsAtOnceAndAClaimGetsNothing) {
    const BatchSettings settings = Sites(5);
    Recorder recorder;
    BatchWork work = Work(settings, recorder);
    const auto inHand = work.claim();
    work.stop();
    EXPECT_EQ(recorder.waitsEnded, 1);
    EXPECT_FALSE(work.claim());
    work.finish(0, *inHand, Ended(CardOutcome::Ok)); // the card in hand is still logged
    EXPECT_EQ(recorder.logged.size(), 1u);
    EXPECT_TRUE(work.summary().stopped);
    EXPECT_EQ(recorder.waitsEnded, 1) << "once";
}

} // namespace
} // namespace tarvik::testing

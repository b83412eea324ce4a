#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tarvik {

namespace detail {

// What a Connection needs to reach its signal's slots, type-erased.
class SlotOwner {
public:
    virtual void disconnect(std::size_t id) = 0;

protected:
    ~SlotOwner() = default;
};

} // namespace detail

// The link between a Signal and one slot. Destroying the Connection (or calling
// disconnect()) removes the slot, so an observer that holds its connections as members can
// never be called after it is gone. A Connection may outlive its Signal.
class [[nodiscard]] Connection {
public:
    Connection() = default;
    Connection(std::weak_ptr<detail::SlotOwner> owner, std::size_t id)
        : owner_(std::move(owner)), id_(id) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept
        : owner_(std::move(other.owner_)), id_(std::exchange(other.id_, 0)) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            disconnect();
            owner_ = std::move(other.owner_);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    ~Connection() { disconnect(); }

    void disconnect() {
        if (const auto owner = owner_.lock()) {
            owner->disconnect(id_);
        }
        owner_.reset();
    }
    bool connected() const { return !owner_.expired(); }

private:
    std::weak_ptr<detail::SlotOwner> owner_;
    std::size_t id_ = 0;
};

// A list of observers called in the order they connected. A slot may connect or disconnect
// slots (itself included) while the signal is being emitted: slots connected during an
// emission are not called by it, and a slot disconnected during an emission is not called
// after that.
//
// A Signal belongs to the object that emits it: it can be neither copied nor moved. Its
// code avoids the names emit, signals and slots, which Qt defines as macros.
template <typename... Args>
class Signal {
public:
    using Slot = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Connecting changes no observable state of the emitter, so it works on a const one.
    Connection connect(Slot slot) const {
        const std::size_t id = ++slots_->lastId;
        slots_->entries.push_back(std::make_unique<Entry>(id, std::move(slot)));
        return Connection(slots_, id);
    }

    void notify(Args... args) const {
        // The state stays alive even if a slot destroys the object that owns this signal.
        const std::shared_ptr<Slots> state = slots_;
        ++state->emitting;
        const std::size_t count = state->entries.size();
        for (std::size_t i = 0; i < count; ++i) {
            // Entries live apart from the vector, so a slot that connects another (and
            // so grows the vector) or disconnects itself is not moved or destroyed mid-call.
            const Entry& entry = *state->entries[i];
            if (entry.active) {
                entry.slot(args...);
            }
        }
        if (--state->emitting == 0) {
            state->compact();
        }
    }
    void operator()(Args... args) const { notify(args...); }

    std::size_t connectionCount() const {
        std::size_t count = 0;
        for (const auto& entry : slots_->entries) {
            count += entry->active ? 1 : 0;
        }
        return count;
    }

private:
    struct Entry {
        Entry(std::size_t id, Slot slot) : id(id), slot(std::move(slot)) {}
        std::size_t id;
        Slot slot;
        bool active = true; // false once disconnected
    };
    struct Slots final : detail::SlotOwner {
        void disconnect(std::size_t id) override {
            for (auto& entry : entries) {
                if (entry->id == id) {
                    entry->active = false;
                }
            }
            if (emitting == 0) {
                compact();
            }
        }
        // Removes disconnected entries; only outside an emission, which walks by index.
        void compact() {
            std::erase_if(entries, [](const auto& e) { return !e->active; });
        }
        std::vector<std::unique_ptr<Entry>> entries;
        std::size_t lastId = 0;
        int emitting = 0;
    };

    std::shared_ptr<Slots> slots_ = std::make_shared<Slots>();
};

} // namespace tarvik

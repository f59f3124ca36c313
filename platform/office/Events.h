#pragma once
// Event connections between an object that raises events and the code that handles them.
// A handler stays connected while its EventConnection lives; the source may go first, after
// which disconnecting does nothing.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace platform::office {

class EventConnection {
 public:
  EventConnection() = default;
  explicit EventConnection(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
  ~EventConnection() { Disconnect(); }
  EventConnection(EventConnection&& other) noexcept : disconnect_(std::move(other.disconnect_)) {
    other.disconnect_ = nullptr;
  }
  EventConnection& operator=(EventConnection&& other) noexcept {
    if (this != &other) {
      Disconnect();
      disconnect_ = std::move(other.disconnect_);
      other.disconnect_ = nullptr;
    }
    return *this;
  }
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;

  bool connected() const { return static_cast<bool>(disconnect_); }
  void Disconnect() {
    auto disconnect = std::move(disconnect_);
    disconnect_ = nullptr;
    if (disconnect) disconnect();
  }

 private:
  std::function<void()> disconnect_;
};

// The raising side: a list of handlers called in the order they were connected. A handler may
// connect or disconnect handlers while the event is being raised; one disconnected meanwhile is
// not called.
template <class... Args>
class EventSource {
 public:
  using Handler = std::function<void(Args...)>;

  EventConnection Connect(Handler handler) {
    auto id = ++state_->nextId;
    state_->slots.push_back({id, std::make_shared<Handler>(std::move(handler))});
    std::weak_ptr<State> weak = state_;
    return EventConnection([weak, id] {
      if (auto state = weak.lock()) std::erase_if(state->slots, [id](const Slot& s) { return s.id == id; });
    });
  }

  void Raise(Args... args) {
    auto snapshot = state_->slots;
    for (const auto& slot : snapshot) {
      if (!Contains(slot.id)) continue;
      (*slot.handler)(args...);
    }
  }

  bool empty() const { return state_->slots.empty(); }

 private:
  struct Slot {
    std::uint64_t id;
    std::shared_ptr<Handler> handler;
  };
  struct State {
    std::uint64_t nextId = 0;
    std::vector<Slot> slots;
  };
  bool Contains(std::uint64_t id) const {
    for (const auto& s : state_->slots)
      if (s.id == id) return true;
    return false;
  }
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace platform::office

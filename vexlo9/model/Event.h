#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace vexlo9 {

// A list of handlers on the object that raises the event. A handler that
// refers back to its owner must capture a weak_ptr or a plain pointer, so
// that no ownership cycle forms.
template <class... Args>
class Event {
 public:
  using Handler = std::function<void(Args...)>;
  using Token = uint64_t;

  Token Connect(Handler handler) {
    handlers_.emplace_back(++lastToken_, std::move(handler));
    return lastToken_;
  }

  void Disconnect(Token token) {
    for (auto& entry : handlers_) {
      if (entry.first == token) entry = {0, Handler()};  // erased after the raise that may be running
    }
    if (raising_ == 0) Compact();
  }

  // Handlers may connect and disconnect while the event is raised; those connected then wait for the next raise.
  void Raise(Args... args) const {
    ++raising_;
    const size_t count = handlers_.size();
    for (size_t i = 0; i < count; ++i) {
      if (!handlers_[i].second) continue;
      // A copy, because the handler may grow the list; small handlers copy without allocating.
      const Handler handler = handlers_[i].second;
      handler(args...);
    }
    if (--raising_ == 0) Compact();
  }

  bool Empty() const noexcept { return handlers_.empty(); }

 private:
  void Compact() const {
    std::erase_if(handlers_, [](const auto& entry) { return entry.first == 0; });
  }

  mutable std::vector<std::pair<Token, Handler>> handlers_;
  mutable int raising_ = 0;
  Token lastToken_ = 0;
};

}  // namespace vexlo9

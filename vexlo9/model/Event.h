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
    std::erase_if(handlers_, [token](const auto& entry) { return entry.first == token; });
  }

  // Handlers may disconnect themselves while the event is raised.
  void Raise(Args... args) const {
    const auto snapshot = handlers_;
    for (const auto& [token, handler] : snapshot) handler(args...);
  }

  bool Empty() const noexcept { return handlers_.empty(); }

 private:
  std::vector<std::pair<Token, Handler>> handlers_;
  Token lastToken_ = 0;
};

}  // namespace vexlo9

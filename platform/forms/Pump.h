#pragma once
// Internal: what the message pump visits. Timers and web browsers enter these lists when
// constructed and leave them when destroyed; all of it runs on the user-interface thread.
#include <algorithm>
#include <vector>

namespace platform::forms {

class Timer;
class WebBrowser;

namespace pump {

std::vector<Timer*>& Timers();
std::vector<WebBrowser*>& Browsers();

template <class T>
bool Contains(const std::vector<T*>& list, const T* item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T>
void Remove(std::vector<T*>& list, const T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace pump
}  // namespace platform::forms

#pragma once
// What the Word and Excel applications have in common for an add-in: the command bars and the
// status bar; and the table of running applications by class name ("Word.Application"), through
// which code that was not handed the application object reaches it.
#include <string>
#include <string_view>

#include "platform/office/CommandBars.h"
#include "platform/office/Ref.h"

namespace platform::office {

// Raised when no application of the class is running.
inline constexpr long kCannotCreateObjectError = 429;

class Application {
 public:
  virtual ~Application();
  virtual std::string Name() const = 0;  // "Word" or "Excel"
  virtual office::CommandBars& CommandBars() = 0;
  virtual std::string StatusBar() const = 0;
  virtual void SetStatusBar(std::string_view text) = 0;  // "" clears it
};

// The running object table. The host registers its application when it starts and revokes it
// when it quits; the latest registration of a class name wins.
void RegisterActiveObject(std::string_view className, const Ref<Application>& application);
void RevokeActiveObject(std::string_view className, const Application* application);
// The registered application; run-time error 429 when there is none.
Ref<Application> GetActiveObject(std::string_view className);

}  // namespace platform::office

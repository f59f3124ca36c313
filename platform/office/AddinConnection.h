#pragma once
// The connection between an Office application and one of its add-ins. The host creates the
// add-in's connection object and calls, in order: OnConnection once when it loads the add-in,
// OnStartupComplete once its start-up is over, OnBeginShutdown when it starts to quit, and
// OnDisconnection when it unloads the add-in.
#include <string>
#include <vector>

#include "platform/office/Application.h"
#include "platform/office/Ref.h"

namespace platform::office {

namespace connect_mode {
inline constexpr int AfterStartup = 0;
inline constexpr int Startup = 1;
inline constexpr int External = 2;
inline constexpr int CommandLine = 3;
}  // namespace connect_mode

namespace disconnect_mode {
inline constexpr int HostShutdown = 0;
inline constexpr int UserClosed = 1;
}  // namespace disconnect_mode

// The extra arguments a host may pass to the handlers (never used by our add-ins).
using Custom = std::vector<std::string>;

// The add-in as the host knows it.
class AddIn {
 public:
  virtual ~AddIn();
  virtual std::string ProgId() const = 0;
  virtual std::string Description() const = 0;
  virtual bool Connect() const = 0;
};

class AddinConnection {
 public:
  virtual ~AddinConnection();
  virtual void OnConnection(const Ref<Application>& application, int connectMode, AddIn& addInInst,
                            Custom& custom) = 0;
  virtual void OnDisconnection(int removeMode, Custom& custom) = 0;
  virtual void OnAddInsUpdate(Custom& custom) = 0;
  virtual void OnStartupComplete(Custom& custom) = 0;
  virtual void OnBeginShutdown(Custom& custom) = 0;
};

}  // namespace platform::office

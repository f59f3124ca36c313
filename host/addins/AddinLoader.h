#pragma once
// Loads add-in libraries into an emulated application as Office does: the library is opened
// with dlopen, its connection object created for the ProgID and connected; at the end of the
// host's start-up every add-in hears OnStartupComplete, and when the host quits
// OnBeginShutdown and OnDisconnection. Libraries stay loaded until the process ends, since
// objects they made (handlers in command bars, for one) may outlive their connection.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/office/AddinConnection.h"
#include "platform/office/AddinLibrary.h"

namespace host {

namespace office = platform::office;

class LoadedAddin final : public office::AddIn {
 public:
  LoadedAddin(std::string progId, std::string description, office::AddinConnection* connection,
              office::DestroyConnectionFunction destroy);
  ~LoadedAddin() override;
  std::string ProgId() const override { return progId_; }
  std::string Description() const override { return description_; }
  bool Connect() const override { return connected_; }

  office::AddinConnection& connection() { return *connection_; }
  void SetConnected(bool connected) { connected_ = connected; }

 private:
  std::string progId_;
  std::string description_;
  office::AddinConnection* connection_;
  office::DestroyConnectionFunction destroy_;
  bool connected_ = false;
};

// What went wrong with one add-in, for the user to read; loading goes on with the next one.
using LoadReport = std::function<void(const std::string& message)>;

class AddinLoader {
 public:
  // Failures of add-ins (a library that does not load, an error an event handler lets out)
  // are told to `report` and do not stop the host.
  explicit AddinLoader(office::Ref<office::Application> application, LoadReport report = {});
  ~AddinLoader();
  AddinLoader(const AddinLoader&) = delete;
  AddinLoader& operator=(const AddinLoader&) = delete;

  // Loads and connects one add-in from the library at a path of this machine. Raises
  // RuntimeError when the library, its exports or the connection object are missing; an error
  // that OnConnection raises propagates (the add-in is then not kept).
  LoadedAddin& Load(std::string_view progId, const std::filesystem::path& library, std::string_view description = {});
  // Every add-in registered for the application (AddinRegistration.h) whose LoadBehavior is 3,
  // in registry order. Returns the number loaded.
  int LoadRegistered();

  void StartupComplete();
  void BeginShutdown();
  // OnDisconnection for every connected add-in, then the connection objects are destroyed.
  void Disconnect(int removeMode = office::disconnect_mode::HostShutdown);

  const std::vector<std::unique_ptr<LoadedAddin>>& addins() const { return addins_; }

 private:
  void Tell(const LoadedAddin& addin, const char* event, const std::exception& e) const;
  // Calls an event handler of each add-in; what one lets out is reported.
  void Notify(const std::vector<std::unique_ptr<LoadedAddin>>& addins, const char* event,
              const std::function<void(office::AddinConnection&, office::Custom&)>& call) const;

  office::Ref<office::Application> application_;
  LoadReport report_;
  std::vector<std::unique_ptr<LoadedAddin>> addins_;
};

// Opens a library and returns one of its exported functions (RuntimeError when either is
// missing).
void* LibrarySymbol(const std::filesystem::path& library, const char* symbol);

// "tavo-office register|unregister <library>": calls the library's DllRegisterServer or
// DllUnregisterServer with the library's Windows path. Returns the function's result.
long RegisterLibrary(const std::filesystem::path& library);
long UnregisterLibrary(const std::filesystem::path& library);

}  // namespace host

#include "host/addins/AddinLoader.h"

#include <dlfcn.h>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"
#include "platform/office/AddinRegistration.h"

namespace host {
using platform::Raise;

namespace {
constexpr long kCannotLoad = 48;  // "Error in loading DLL"

std::string Describe(const std::exception& e) {
  if (auto* r = dynamic_cast<const platform::RuntimeError*>(&e))
    return "run-time error " + std::to_string(r->number()) + ": " + r->description();
  return e.what();
}
}  // namespace

LoadedAddin::LoadedAddin(std::string progId, std::string description, office::AddinConnection* connection,
                         office::DestroyConnectionFunction destroy)
    : progId_(std::move(progId)), description_(std::move(description)), connection_(connection), destroy_(destroy) {}

LoadedAddin::~LoadedAddin() { destroy_(connection_); }

void* LibrarySymbol(const std::filesystem::path& library, const char* symbol) {
  void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) Raise(kCannotLoad, "Error in loading library " + library.string() + ": " + dlerror());
  void* function = dlsym(handle, symbol);
  if (!function) Raise(kCannotLoad, "The library " + library.string() + " exports no " + symbol);
  return function;
}

AddinLoader::AddinLoader(office::Ref<office::Application> application, LoadReport report)
    : application_(std::move(application)), report_(std::move(report)) {}

void AddinLoader::Tell(const LoadedAddin& addin, const char* event, const std::exception& e) const {
  if (report_) report_("The add-in " + addin.ProgId() + " failed in " + event + ": " + Describe(e));
}

AddinLoader::~AddinLoader() {
  try {
    Disconnect();
  } catch (...) {
    // Shutting down: an add-in's failure must not take the host with it.
  }
}

LoadedAddin& AddinLoader::Load(std::string_view progId, const std::filesystem::path& library,
                              std::string_view description) {
  auto create = reinterpret_cast<office::CreateConnectionFunction>(LibrarySymbol(library, office::kCreateConnectionSymbol));
  auto destroy =
      reinterpret_cast<office::DestroyConnectionFunction>(LibrarySymbol(library, office::kDestroyConnectionSymbol));
  const std::string id(progId);
  office::AddinConnection* connection = create(id.c_str());
  if (!connection) Raise(kCannotLoad, "The library " + library.string() + " does not serve " + id);
  auto addin = std::make_unique<LoadedAddin>(id, std::string(description), connection, destroy);
  office::Custom custom;
  connection->OnConnection(application_, office::connect_mode::Startup, *addin, custom);
  addin->SetConnected(true);
  addins_.push_back(std::move(addin));
  return *addins_.back();
}

int AddinLoader::LoadRegistered() {
  int loaded = 0;
  for (const auto& r : office::RegisteredAddins(application_->Name())) {
    if (r.loadBehavior != office::kLoadAtStartup) continue;
    try {
      if (r.libraryPath.empty()) Raise(kCannotLoad, "no library is registered for the class");
      Load(r.progId, platform::environment::HostPath(r.libraryPath), r.description);
      ++loaded;
    } catch (const std::exception& e) {
      if (report_) report_("The add-in " + r.progId + " could not be loaded: " + Describe(e));
    }
  }
  return loaded;
}

void AddinLoader::Notify(const std::vector<std::unique_ptr<LoadedAddin>>& addins, const char* event,
                         const std::function<void(office::AddinConnection&, office::Custom&)>& call) const {
  office::Custom custom;
  for (const auto& a : addins) {
    try {
      call(a->connection(), custom);
    } catch (const std::exception& e) {
      Tell(*a, event, e);
    }
  }
}

void AddinLoader::StartupComplete() {
  Notify(addins_, "OnStartupComplete", [](auto& c, auto& custom) { c.OnStartupComplete(custom); });
}

void AddinLoader::BeginShutdown() {
  Notify(addins_, "OnBeginShutdown", [](auto& c, auto& custom) { c.OnBeginShutdown(custom); });
}

void AddinLoader::Disconnect(int removeMode) {
  auto addins = std::move(addins_);
  addins_.clear();
  for (auto& a : addins) a->SetConnected(false);
  Notify(addins, "OnDisconnection", [removeMode](auto& c, auto& custom) { c.OnDisconnection(removeMode, custom); });
}

namespace {
long CallRegistration(const std::filesystem::path& library, const char* symbol) {
  auto path = std::filesystem::absolute(library);
  auto function = reinterpret_cast<office::RegisterServerFunction>(LibrarySymbol(path, symbol));
  std::string windowsPath = platform::environment::Current().WindowsPath(path);
  return function(windowsPath.c_str());
}
}  // namespace

long RegisterLibrary(const std::filesystem::path& library) {
  return CallRegistration(library, office::kRegisterServerSymbol);
}

long UnregisterLibrary(const std::filesystem::path& library) {
  return CallRegistration(library, office::kUnregisterServerSymbol);
}

}  // namespace host

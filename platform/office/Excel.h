#pragma once
// The members of the Excel object model that the add-ins use. Optional arguments are option
// structs meant for designated initialisers:
//   app->Workbooks().Open({.filename = path, .password = pw});
//   book->SaveAs({.filename = path, .password = "", .accessMode = excel::access_mode::NoChange});
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/office/Application.h"
#include "platform/office/Ref.h"

namespace platform::office::excel {

inline constexpr std::string_view kClassName = "Excel.Application";

namespace err {
// Excel reports its own failures (wrong password, a file it cannot open or save, a refused
// replace) under one number with a description of the case.
inline constexpr long Failed = 1004;
inline constexpr long SubscriptOutOfRange = 9;
}  // namespace err

namespace access_mode {
inline constexpr int NoChange = 1;
inline constexpr int Shared = 2;
inline constexpr int Exclusive = 3;
}  // namespace access_mode

namespace window_view {
inline constexpr int Normal = 1;
inline constexpr int PageBreakPreview = 2;
inline constexpr int PageLayout = 3;
}  // namespace window_view

struct OpenOptions {
  std::string filename{};
  // "" (or omitted) on a protected file: Excel asks the user for the password.
  std::string password{};
};

struct SaveAsOptions {
  std::string filename{};
  // Omitted: the workbook keeps its open password; "": the saved file has none.
  std::optional<std::string> password{};
  int accessMode = access_mode::NoChange;
};

struct CloseOptions {
  // Omitted: a modified workbook makes Excel ask (unless DisplayAlerts is off: then it is
  // closed without saving).
  std::optional<bool> saveChanges{};
};

class Worksheet {
 public:
  virtual ~Worksheet();
  virtual std::string Name() const = 0;
  virtual void Activate() = 0;
};

class Window {
 public:
  virtual ~Window();
  virtual int View() const = 0;
  virtual void SetView(int view) = 0;
};

class Workbook {
 public:
  virtual ~Workbook();
  virtual std::string Name() const = 0;
  virtual std::string Path() const = 0;  // "" for a workbook never saved
  virtual std::string FullName() const = 0;
  virtual bool Saved() const = 0;
  virtual void Save() = 0;
  virtual void SaveAs(const SaveAsOptions& options) = 0;
  virtual void Activate() = 0;
  virtual void Close(const CloseOptions& options = {}) = 0;
};

class Workbooks {
 public:
  virtual ~Workbooks();
  virtual int Count() const = 0;
  virtual Ref<Workbook> Open(const OpenOptions& options) = 0;
  virtual void Close() = 0;                               // every open workbook
  virtual Ref<Workbook> Item(int index) = 0;              // 1-based; 9 when out of range
  virtual Ref<Workbook> Item(std::string_view name) = 0;  // Name, ignoring case; 9 when none
  virtual std::vector<Ref<Workbook>> List() = 0;
};

class Application : public office::Application {
 public:
  ~Application() override;
  virtual excel::Workbooks& Workbooks() = 0;
  virtual Ref<Workbook> ActiveWorkbook() = 0;    // Nothing when no workbook is open
  virtual Ref<Worksheet> ActiveSheet() = 0;      // Nothing when no workbook is open
  virtual Ref<excel::Window> ActiveWindow() = 0;  // Nothing when no workbook is open
  virtual bool DisplayAlerts() const = 0;
  virtual void SetDisplayAlerts(bool on) = 0;
};

// The running Excel ("Excel.Application"); run-time error 429 when none runs.
Ref<Application> RunningApplication();

}  // namespace platform::office::excel

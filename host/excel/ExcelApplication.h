#pragma once
// The emulated Excel: workbooks held in memory as sheets of cells, saved as workbook files,
// each open workbook holding an exclusive lock on its file; the alerts it shows (save changes?
// replace the file?) unless DisplayAlerts is off; the command bars; the status bar.
#include <memory>
#include <string>
#include <vector>

#include "host/commandbars/CommandBarSet.h"
#include "host/files/OpenList.h"
#include "host/excel/WorkbookFile.h"
#include "platform/files/Files.h"
#include "platform/office/Excel.h"

namespace host::excel {

namespace oe = platform::office::excel;
using platform::office::Ref;

class ExcelApplication;
class ExcelWorkbook;

// Excel's own failures: run-time error 1004 with a description of the case.
[[noreturn]] void Fail(const std::string& description);

class ExcelWorksheet final : public oe::Worksheet {
 public:
  ExcelWorksheet(ExcelWorkbook& book, std::string name) : book_(&book), data_{std::move(name), {}} {}
  std::string Name() const override;
  void Activate() override;

  SheetData& data() { return data_; }
  const SheetData& data() const { return data_; }
  void Detach() { book_ = nullptr; }

 private:
  ExcelWorkbook& Checked() const;
  ExcelWorkbook* book_;
  SheetData data_;
};

class ExcelWindow final : public oe::Window {
 public:
  int View() const override { return view_; }
  void SetView(int view) override;

 private:
  int view_ = oe::window_view::Normal;
};

class ExcelWorkbook final : public oe::Workbook, public std::enable_shared_from_this<ExcelWorkbook> {
 public:
  ExcelWorkbook(ExcelApplication& app, std::string name);
  ~ExcelWorkbook() override;

  std::string Name() const override;
  std::string Path() const override;
  std::string FullName() const override;
  bool Saved() const override;
  void Save() override;
  void SaveAs(const oe::SaveAsOptions& options) override;
  void Activate() override;
  void Close(const oe::CloseOptions& options = {}) override;

  bool closed() const { return closed_; }
  bool protectedByPassword() const { return !passwordHash_.empty(); }
  const std::string& fileName() const { return fullName_; }
  const std::vector<std::shared_ptr<ExcelWorksheet>>& sheets() const { return sheets_; }
  std::shared_ptr<ExcelWorksheet> activeSheet() const { return sheets_[activeSheet_]; }
  void ActivateSheet(const ExcelWorksheet* sheet);
  // Sets a cell of the active sheet, or of the sheet named before "!" ("Sheet2!B3").
  void SetCell(std::string_view ref, std::string value);
  std::string Cell(std::string_view ref) const;
  std::shared_ptr<ExcelWindow> window() const { return window_; }

 private:
  friend class ExcelApplication;
  friend class ExcelWorkbooks;
  void Check() const;
  std::pair<ExcelWorksheet*, CellPosition> Locate(std::string_view ref) const;
  void LoadFrom(const std::string& fullName, WorkbookFile file, platform::files::FileLock lock);
  void WriteTo(const std::string& fullName);
  void Release();

  ExcelApplication& app_;
  std::string name_;
  std::string fullName_;
  std::string passwordHash_;
  std::vector<std::shared_ptr<ExcelWorksheet>> sheets_;
  size_t activeSheet_ = 0;
  bool saved_ = true;
  bool closed_ = false;
  platform::files::FileLock lock_;
  std::shared_ptr<ExcelWindow> window_ = std::make_shared<ExcelWindow>();
};

class ExcelWorkbooks final : public oe::Workbooks {
 public:
  explicit ExcelWorkbooks(ExcelApplication& app) : app_(app) {}
  int Count() const override;
  Ref<oe::Workbook> Open(const oe::OpenOptions& options) override;
  void Close() override;
  Ref<oe::Workbook> Item(int index) override;
  Ref<oe::Workbook> Item(std::string_view name) override;
  std::vector<Ref<oe::Workbook>> List() override;
  // A new workbook "BookN" with one sheet.
  std::shared_ptr<ExcelWorkbook> Add();

 private:
  ExcelApplication& app_;
};

class ExcelApplication final : public oe::Application, public std::enable_shared_from_this<ExcelApplication> {
 public:
  // A new Excel, registered as the running "Excel.Application".
  static std::shared_ptr<ExcelApplication> Create();
  ~ExcelApplication() override;

  std::string Name() const override { return "Excel"; }
  platform::office::CommandBars& CommandBars() override { return bars_; }
  std::string StatusBar() const override { return statusBar_; }
  void SetStatusBar(std::string_view text) override { statusBar_ = text; }
  oe::Workbooks& Workbooks() override { return workbooksCollection_; }
  Ref<oe::Workbook> ActiveWorkbook() override;
  Ref<oe::Worksheet> ActiveSheet() override;
  Ref<oe::Window> ActiveWindow() override;
  bool DisplayAlerts() const override { return displayAlerts_; }
  void SetDisplayAlerts(bool on) override { displayAlerts_ = on; }

  CommandBarSet& bars() { return bars_; }
  ExcelWorkbooks& workbooks() { return workbooksCollection_; }
  const std::vector<std::shared_ptr<ExcelWorkbook>>& workbookList() const { return open_.items(); }
  std::shared_ptr<ExcelWorkbook> activeWorkbook() const { return open_.active(); }

  // Closes every workbook as Excel does when it quits, asking about modified ones (unless
  // alerts are off, or discardChanges). False, with the rest left open, when the user cancels.
  bool CloseAllWorkbooks(bool discardChanges = false);
  // Leaves the running object table.
  void Revoke();

 private:
  friend class ExcelWorkbook;
  friend class ExcelWorkbooks;
  ExcelApplication();
  std::shared_ptr<ExcelWorkbook> NewWorkbook(std::string name);

  CommandBarSet bars_;
  std::string statusBar_;
  bool displayAlerts_ = true;
  ExcelWorkbooks workbooksCollection_{*this};
  OpenList<ExcelWorkbook> open_;
  int nextNumber_ = 1;
};

}  // namespace host::excel

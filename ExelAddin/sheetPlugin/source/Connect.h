#pragma once
// The connection class that Excel creates for the add-in. When Excel connects it, it runs the
// start-up chain both add-ins share (common/commands/AddinShell.h), telling the error and
// logging it when the chain fails; when Excel disconnects it, it signs out, closes the
// workbooks, removes this run's temporary downloads with their map records and lets go of Excel.
#include <memory>
#include <string>
#include <string_view>

#include "ExelAddin/sheetPlugin/source/ClassInit.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/AddinState.h"
#include "common/commands/AddinShell.h"

namespace tavo::sheet {

inline constexpr std::string_view kProgId = "tavosheet.Connect";

class Connect final : public AddinShell {
 public:
  Connect();
  ~Connect() override;

  void OnDisconnection(int removeMode, office::Custom& custom) override;

  // Made on first use and kept for the life of this object.
  ClassInit& m_ClassInit();

 private:
  AddinCommands& Commands() override { return m_ClassInit(); }
  void StartUpFailed(long number, const std::string& description) override;

  // The operations are made before the state that points to them as its host.
  SheetOperations operations_{ownState_, *this};
  AddinState ownState_{kSheetParameters, &operations_};
  std::unique_ptr<ClassInit> classInit_;
};

}  // namespace tavo::sheet

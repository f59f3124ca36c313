#pragma once
// The connection class that Excel creates for the add-in. When Excel connects it, it loads the
// settings, the remembered credentials and the language texts, and builds the command bars;
// when Excel disconnects it, it signs out, closes the workbooks, removes this run's temporary
// downloads with their map records and lets go of Excel.
#include <memory>
#include <string_view>

#include "ExelAddin/sheetPlugin/source/ClassInit.h"
#include "ExelAddin/sheetPlugin/source/SheetOperations.h"
#include "common/AddinState.h"
#include "platform/office/AddinConnection.h"

namespace tavo::sheet {

inline constexpr std::string_view kProgId = "tavosheet.Connect";

class Connect final : public office::AddinConnection {
 public:
  Connect();
  ~Connect() override;

  void OnConnection(const office::Ref<office::Application>& application, int connectMode, office::AddIn& addInInst,
                    office::Custom& custom) override;
  void OnDisconnection(int removeMode, office::Custom& custom) override;
  void OnAddInsUpdate(office::Custom&) override {}
  void OnStartupComplete(office::Custom&) override {}
  void OnBeginShutdown(office::Custom&) override {}

  // Made on first use and kept for the life of this object.
  ClassInit& m_ClassInit();

 private:
  // The start-up chain; false as soon as one step fails.
  bool StartUp(const office::Ref<office::Application>& application, office::AddIn& addInInst);

  // The state points to the operations as its host; they are only stored here, not used.
  AddinState state_{kSheetParameters, &operations_};
  SheetOperations operations_{state_, *this};
  std::unique_ptr<ClassInit> classInit_;
};

}  // namespace tavo::sheet

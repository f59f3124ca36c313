#pragma once
// The connection class that Word creates for the add-in. When Word connects it, it loads the
// settings, the remembered credentials and the language texts, and builds the command bars;
// when Word disconnects it, it signs out and lets go of Word and of the command bars.
#include <memory>
#include <string_view>

#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "common/AddinState.h"
#include "platform/office/AddinConnection.h"

namespace tavo::writer {

inline constexpr std::string_view kProgId = "tavowriterwordaddin.service";

class service final : public office::AddinConnection {
 public:
  service();
  ~service() override;

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
  AddinState state_{kWriterParameters, &operations_};
  WriterOperations operations_{state_, *this};
  std::unique_ptr<ClassInit> classInit_;
};

}  // namespace tavo::writer

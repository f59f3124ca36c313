#pragma once
// The connection class that Word creates for the add-in. When Word connects it, it runs the
// start-up chain both add-ins share (common/commands/AddinShell.h), with a status text of its
// own when no credentials are remembered; when Word disconnects it, it signs out and lets go of
// Word and of the command bars.
#include <memory>
#include <string_view>

#include "WordAddin/writerPlugin/source/ClassInit.h"
#include "WordAddin/writerPlugin/source/WriterOperations.h"
#include "common/AddinState.h"
#include "common/commands/AddinShell.h"

namespace tavo::writer {

inline constexpr std::string_view kProgId = "tavowriterwordaddin.service";

class service final : public AddinShell {
 public:
  service();
  ~service() override;

  void OnDisconnection(int removeMode, office::Custom& custom) override;

  // Made on first use and kept for the life of this object.
  ClassInit& m_ClassInit();

 private:
  AddinCommands& Commands() override { return m_ClassInit(); }
  // Without a remembered name and password, the status bar asks for them (gMsg03).
  void OwnStartUpStep() override;

  // The operations are made before the state that points to them as its host.
  WriterOperations operations_{ownState_, *this};
  AddinState ownState_{kWriterParameters, &operations_};
  std::unique_ptr<ClassInit> classInit_;
};

}  // namespace tavo::writer

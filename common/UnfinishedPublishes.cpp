#include "common/UnfinishedPublishes.h"

#include "common/AddinState.h"
#include "common/Log.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/xml/XmlDocument.h"

namespace tavo {
namespace {

namespace xml = platform::xml;

std::string StorePath(const AddinState& state) {
  return platform::text::Trim(state.gUserDataFolder + "unfinishedpublishes.xml");
}

std::string EntrySelection(std::string_view id) { return "publish[@id=" + xml::XPathLiteral(id) + "]"; }

// The store as it is on disk; empty when there is none or it does not read (what it held is
// then lost: the documents stay online and linked, only not public).
xml::Document LoadStore(const AddinState& state) {
  xml::Document doc;
  if (!doc.load(StorePath(state)) || doc.documentElement().nodeName() != "publishes") doc.loadXML("<publishes/>");
  return doc;
}

// A store that cannot be written is told in the log only: the user has been told of the
// publish itself, and a later Publish then saves the document without finishing it.
void Change(AddinState& state, std::string_view id, const PublishLicence* remembered) {
  try {
    xml::Document doc = LoadStore(state);
    xml::Node root = doc.documentElement();
    const xml::Node old = root.selectSingleNode(EntrySelection(id));
    if (!old && !remembered) return;
    if (old) root.removeChild(old);
    if (remembered) {
      xml::Node entry = root.appendChild(doc.createElement("publish"));
      entry.setAttribute("id", id);
      entry.setAttribute("licensename", remembered->name);
      entry.setAttribute("licenseurl", remembered->url);
      entry.setAttribute("licenseimage", remembered->image);
    }
    doc.save(StorePath(state));
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error while recording the unfinished publish of " + std::string(id) + " | " + e.description(),
             "Error");
  }
}

}  // namespace

PublishOutcome PublishAndRemember(AddinState& state, std::string_view id, const PublishLicence& licence) {
  const PublishOutcome outcome = PublishOnline(state, id, licence);
  Change(state, id, outcome == PublishOutcome::Published ? nullptr : &licence);
  return outcome;
}

std::optional<PublishLicence> UnfinishedPublish(AddinState& state, std::string_view id) {
  try {
    const xml::Document doc = LoadStore(state);
    const xml::Node entry = doc.documentElement().selectSingleNode(EntrySelection(id));
    if (!entry) return std::nullopt;
    return PublishLicence{entry.getAttribute("licensename"), entry.getAttribute("licenseurl"),
                          entry.getAttribute("licenseimage")};
  } catch (const platform::RuntimeError& e) {
    WriteLog(state, "Error while reading the unfinished publishes | " + e.description(), "Error");
    return std::nullopt;
  }
}

std::optional<PublishOutcome> FinishUnfinishedPublish(AddinState& state, std::string_view id) {
  const std::optional<PublishLicence> licence = UnfinishedPublish(state, id);
  if (!licence) return std::nullopt;
  WriteLog(state, "Finishing the publish of " + std::string(id), "Info");
  return PublishAndRemember(state, id, *licence);
}

std::string UnfinishedPublishText(PublishOutcome outcome, std::string_view item, std::string_view place) {
  const std::string it(item);
  const std::string where(place);
  const std::string retry = " Use Publish in Tavo Share again to finish publishing it.";
  if (outcome == PublishOutcome::NotLicensed)
    return "The " + it + " is in " + where + " and public, but its licence could not be set." + retry;
  return "The " + it + " is in " + where + ", but it could not be made public." + retry;
}

}  // namespace tavo

#pragma once
// Publishes that created the online document but could not make it public or give it its
// licence. The document stays linked to its local copy as any new one; what is left to do is
// remembered per account, by online id, with the licence chosen, in unfinishedpublishes.xml of
// the user data folder:
//
//   <publishes><publish id="17" licensename="Public Domain" licenseurl="..." licenseimage="..."/></publishes>
//
// so that the next Publish of that same document finishes the job (after a restart too)
// instead of creating another online document.
#include <optional>
#include <string>
#include <string_view>

#include "common/requests/PublishCalls.h"

namespace tavo {

struct AddinState;

// PublishOnline, then remembers what is left when it did not get through, or forgets it when
// it did.
PublishOutcome PublishAndRemember(AddinState& state, std::string_view id, const PublishLicence& licence);

// The publish left unfinished for the online document `id`, when there is one.
std::optional<PublishLicence> UnfinishedPublish(AddinState& state, std::string_view id);

// Sends the calls of the publish left unfinished for `id`, as PublishAndRemember does; nullopt
// when none is.
std::optional<PublishOutcome> FinishUnfinishedPublish(AddinState& state, std::string_view id);

// What the user is told when a publish did not get through: `item` is "document" or
// "workbook", `place` the online service ("Tavo Writer").
std::string UnfinishedPublishText(PublishOutcome outcome, std::string_view item, std::string_view place);

}  // namespace tavo

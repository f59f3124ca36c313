#pragma once
// The admin endpoint: the Server's control calls over HTTP, for scripts and the demo. Only
// loopback clients reach it. Calls (POST unless noted; parameters in the query):
//   /_admin/account?email=&password=            add an account
//   /_admin/document?owner=&name=[&version=]    add a document, body = HTML; answers its id
//   /_admin/workbook?owner=&name=               add a workbook, body = its bytes; answers id
//   /_admin/change-document?id=                 new content (body), next version
//   /_admin/change-workbook?id=                 new bytes (body), new lock and time
//   /_admin/trash?id=[&undo=1]                  trash a document or workbook (or restore)
//   /_admin/share?id=[&undo=1]                  make it shared to its user, read-only
//   /_admin/in-use?id=&editor=                  another editor holds the workbook ("" frees)
//   /_admin/end-tickets                         every ticket expires
//   /_admin/fault?match=&kind=&count=&code=&size=&delay_ms=
//                                               kind: error-code, not-xml, html-500,
//                                               truncated, wrong-xml, large-body, delay,
//                                               hang, refuse, stalled
//   /_admin/clear-faults, /_admin/clear-requests
//   GET /_admin/requests                        what was received, as XML
//   GET /_admin/state                           documents and workbooks, as XML
// Answers "ok" (plus the new id) as plain text, or status 400 with the reason.
#include "service/Exchange.h"

namespace tavo::service {

class Server;
Answer AdminCall(Server& server, const Call& call);

}  // namespace tavo::service

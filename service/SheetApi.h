#pragma once
// The online spreadsheet: the requests posted to its API, its two publishing calls and the
// open.do download.
//
// Requests <request><methodName>tavosheet.userView.M</methodName><params>
// <param><name>n</name><value>v</value></param>...</params></request> and their answers:
//   getWorkbooks    <methodResponse><result><workbook><workbookId/><workbookName/>
//                   <createdTime/><lastModifiedTime/><lastModifiedBy/><updateLock/>
//                   </workbook>...</result></methodResponse>
//   saveWorkbook (workbookId, updateLock, content, contentType[, overwrite])
//                   <result><workbookId/><workbookName/><modifiedTime/><updateLock/></result>
//   addWorkbook (workbookName, content, contentType)
//                   <result><workbookId/><workbookName/><createdTime/><updateLock/></result>
// Errors: <methodResponse><error><code>N</code><info>text</info></error></methodResponse>
//   2401 wrong ticket or API key, 2500 content that is not valid Base64 (or empty),
//   2851 unknown workbook, 2852 trashed, 2853 shared to the user (read-only), 2854 in use
//   by another editor, 2855 an update lock that is no longer current (a newer save exists)
//   without overwrite "true", 2860 a new workbook without a name, 2500 also for a body
//   that is not a request, 2501 an unknown method.
// Every save and every change made "online" issues a new update lock and a later
// modification time ("YYYY-MM-DD HH:MM:SS").
#include "service/Exchange.h"
#include "service/Store.h"

namespace tavo::service {

Answer SheetApi(Store& store, const Call& call);
Answer SheetPublish(Store& store, const Call& call, bool license);
Answer SheetError(const std::string& code, const std::string& info);
// GET open.do?apikey=&ticket=&export=xls&docid=&time=: the workbook's bytes; 401 for a bad
// key or ticket, 404 for an unknown or trashed workbook.
Answer Download(Store& store, const Call& call);

}  // namespace tavo::service

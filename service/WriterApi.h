#pragma once
// The online word processor: the method calls posted to the API, the two publishing calls
// and the pictures uploaded with documents. Answers are labelled UTF-8.
//
// Method calls (members in the order the add-in sends them) and their answers:
//   writer.getDocuments, writer.getSharedDocuments
//       <methodResponse><document><document_name/><document_id/><version/>
//       <document_name_url/><author/><created_on/></document>...</methodResponse>
//   writer.viewDocument (documentname, documentid, version)
//       <view><document_name/><document_name_url/><document_id/><version/><content/></view>
//   writer.getVersion (documentid)                   <version>3</version>
//   writer.saveDocument (documentname, content, documentid, version)
//       <save><info/><document_id/><version/><document_name_url/><document_name/></save>
//   writer.newDocument (documentname, content)
//       <create><document_id/><document_name/><document_name_url/><version/><info/></create>
//   writer.uploadImage (contenttype, content)        <url>address of the picture</url>
// Errors: <methodResponse><error><errorCode>N</errorCode><info>text</info></error>...
//   1401 wrong or ended ticket, 1807 a document that cannot be read (unknown, another
//   account's, or trashed), 1890 wrong API key, 1853 a document shared read-only,
//   1800 a new document without a name, 1500 a body that is not a method call,
//   1501 an unknown method, 1502 a picture that is not valid Base64 or not png/gif/jpg.
#include "service/Exchange.h"
#include "service/Store.h"

namespace tavo::service {

Answer WriterApi(Store& store, const Call& call);
// makePublic (license false) or updateLicense (license true) for a document.
Answer WriterPublish(Store& store, const Call& call, bool license);
Answer WriterError(const std::string& code, const std::string& info);
// GET of an uploaded picture's address.
Answer ServePicture(Store& store, const Call& call);

}  // namespace tavo::service

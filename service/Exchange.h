#pragma once
// The request as the API handlers see it, their answer, and the helpers they share for the
// wire formats: query strings, method-call bodies, XML answers, publishing records.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "service/Store.h"

namespace tavo::service {

using Params = std::map<std::string, std::string>;

struct Call {
  std::string method;
  std::string host;        // host name of the Host header, lower case, without port
  std::string hostHeader;  // the Host header as sent
  std::string path;        // decoded
  std::string query;       // as sent
  Params params;           // the query, decoded
  std::string_view body;
  bool tls = false;
  std::vector<std::string> apiKeys;  // the keys the service accepts

  // Scheme and authority the client used, for addresses the answer hands out.
  std::string BaseUrl() const { return (tls ? "https://" : "http://") + hostHeader; }
  std::string Param(const std::string& name) const;
  bool KeyAccepted() const;
};

struct Answer {
  int status = 200;
  std::string contentType = "text/html; charset=UTF-8";
  std::string body;
};

// "a=1&b=x+y%21": split at "&" and the first "=", "+" read as a blank, %XX decoded.
// How a percent-escape of a byte of 0x80 or more is read: as a UTF-8 byte (URLs), or as a
// character of Windows-1252, which is how the add-ins' sign-in form encodes such characters
// (unescaped characters in that form arrive as UTF-8).
enum class EscapedBytes { Utf8, Windows1252 };
Params ParseQuery(std::string_view query, EscapedBytes escaped = EscapedBytes::Utf8);

// A method call of either API: the method name and every named member or parameter
// (<member><name>n</name><value><string>v</string></value></member> or
// <param><name>n</name><value>v</value></param>), CDATA and escaped text alike.
struct MethodCall {
  std::string method;
  std::map<std::string, std::string> values;
  std::string Value(const std::string& name) const;
  bool Has(const std::string& name) const { return values.count(name) != 0; }
};
// nullopt for a body that is not well-formed XML or carries no method name.
std::optional<MethodCall> ParseMethodCall(std::string_view body);
// The method name found by a plain text search, for matching faults without a parse.
std::string PeekMethodName(std::string_view body);

// A document serialised without declaration or indentation.
std::string ToXml(const pugi::xml_document& doc);
void AddText(pugi::xml_node parent, const char* name, const std::string& text);

// Standard Base64 with "=" padding; line breaks (CR, LF) may stand anywhere. nullopt for
// any other character outside the alphabet, misplaced padding or a length that is not a
// whole number of groups.
std::optional<std::string> DecodeBase64(std::string_view text);

// Records a make-public call (the query flags) or a licence call (name, address, image).
void RecordPublishCall(PublishRecord& record, const Call& call, bool license);
// The item id at the end of a publishing path.
std::string PublishedId(const Call& call);

}  // namespace tavo::service

#pragma once
// The addresses of the online suite, all served by this one process. Every name lies under
// the reserved domain tavo.example, so nothing here can reach a real host: requests get to
// the stand-in through the hosts file of the environment (see WriteHostsFile in Server.h).
// The add-ins' built-in defaults are these same texts.
#include <string_view>

namespace tavo::service::defaults {

inline constexpr std::string_view kDomain = "tavo.example";

// Host names.
inline constexpr std::string_view kWriterHost = "writer.tavo.example";
inline constexpr std::string_view kSheetHost = "sheet.tavo.example";
inline constexpr std::string_view kAccountsHost = "accounts.tavo.example";
inline constexpr std::string_view kMainHost = "www.tavo.example";
inline constexpr std::string_view kShareHost = "share.tavo.example";

// Word processor: web base (no trailing "/"), API, private API base of the publishing calls.
inline constexpr std::string_view kWriterUrl = "http://writer.tavo.example";
inline constexpr std::string_view kWriterApiUrl = "http://writer.tavo.example/api";
inline constexpr std::string_view kWriterApiBaseUrl = "http://writer.tavo.example/api/";

// Spreadsheet: web base (trailing "/"), API, private API base, download page.
inline constexpr std::string_view kSheetUrl = "http://sheet.tavo.example/";
inline constexpr std::string_view kSheetApiUrl = "http://sheet.tavo.example/api/xml";
inline constexpr std::string_view kSheetApiBaseUrl = "http://sheet.tavo.example/api/";
inline constexpr std::string_view kSheetDownloadUrl = "http://sheet.tavo.example/open.do";

// Accounts: sign-in ("login?") and sign-out ("logout?ticket=") live under the https base.
inline constexpr std::string_view kAccountsUrl = "https://accounts.tavo.example/";
inline constexpr std::string_view kRegisterUrl = "http://accounts.tavo.example/register";

// The suite's main site, whose home page the sign-in loads first.
inline constexpr std::string_view kHomeUrl = "http://www.tavo.example/";
// The share service's terms page.
inline constexpr std::string_view kTermsUrl = "http://share.tavo.example/tos";
inline constexpr std::string_view kApiSupportAddress = "api-support@tavo.example";

// The API key built into both add-ins; the service accepts it (and any others configured).
inline constexpr std::string_view kApiKey = "7c0e9a5b31f84d62a09e3b7f5c18d24e";

// Paths.
inline constexpr std::string_view kWriterApiPath = "/api";
inline constexpr std::string_view kSheetApiPath = "/api/xml";
inline constexpr std::string_view kMakePublicPath = "/api/private/xml/makePublic/";
inline constexpr std::string_view kUpdateLicensePath = "/api/private/TavoSocial/xml/updateLicense/";
inline constexpr std::string_view kDownloadPath = "/open.do";
inline constexpr std::string_view kLoginPath = "/login";
inline constexpr std::string_view kLogoutPath = "/logout";
inline constexpr std::string_view kRegisterPath = "/register";
inline constexpr std::string_view kTermsPath = "/tos";
inline constexpr std::string_view kPicturesPath = "/pictures/";
inline constexpr std::string_view kAdminPath = "/_admin/";

// The demo account of --seed demo.
inline constexpr std::string_view kDemoUser = "demo@tavo.example";
inline constexpr std::string_view kDemoPassword = "demo-pass";

}  // namespace tavo::service::defaults

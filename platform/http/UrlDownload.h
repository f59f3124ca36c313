#pragma once
// Fetches a URL into a file, in the shape of the system's URL-download function.
namespace platform::http {

// GETs `url` and writes the body to `fileName`, a Windows path of the current environment.
// Returns 0 on success. A non-2xx status gives err::DownloadFailure, a transport failure the
// number of its kind (Http.h), a target folder that does not exist err::PathNotFound, a target
// that an application has open (a workbook open in Excel) or that is read-only
// err::AccessDenied; in every failure no file is written and a file already at `fileName` is
// left as it was.
// `caller`, `reserved` and `callback` are accepted and not used.
long URLDownloadToFileA(void* caller, const char* url, const char* fileName, unsigned long reserved,
                        void* callback);

}  // namespace platform::http

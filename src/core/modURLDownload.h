#pragma once
// Web addresses: downloading one into a local file, checking the form of a typed address
// and recognising a dropped text as an address.
#include <QString>
#include <QStringList>

// The source named in the error report of a failed URLDownload.
inline constexpr char URLDownloadErrorSource[] = "modURLDownload.URLDownload";

// Downloads url into target, a folder or a file path, and returns the local path of the
// file, or "" when nothing was downloaded. The mode chooses the local name when a file of
// that name exists:
//   0      keep it and download to "name (2).ext", "name (3).ext", ... (the first free one)
//   1      keep it and return "" (no failure)
//   2      keep it and fail with ErrNo::DownloadFileExists
//   other  overwrite it
// With a folder as target the file name is the text after the last "/" of url; a url
// without "/" fails with ErrNo::DownloadNoFileName. Other failures carry the downloader's
// number (platform::DownloadErr). A failure returns "" and sets *errorNumber (0 otherwise)
// and *errorDescription; it shows nothing, the caller reports it under
// URLDownloadErrorSource.
QString URLDownload(const QString &url, const QString &target, long mode,
                    long *errorNumber = nullptr, QString *errorDescription = nullptr);

// folder + "/" + fileName with exactly one "/" between them; fileName alone for an empty
// folder.
QString joinPath(const QString &folder, const QString &fileName);
// Whether something (a file, a folder, even a dangling link) takes up the path.
bool pathExists(const QString &path);

// Whether address has the form of a web address: its host is a dotted IPv4 address or ends
// in a known top-level domain. With requireProtocol it must also begin with "http://",
// "ftp://", "news://", "gopher://" or "telnet://". Letter case does not matter.
bool isValidURL(const QString &address, bool requireProtocol);
// The top-level domains isValidURL knows, in their stored order.
QStringList knownTopLevelDomains();

// Whether text begins with a known URL scheme and ":" ("http:", "mailto:", "file:", ...).
// A drive such as "C:" is no scheme.
bool isURL(const QString &text);

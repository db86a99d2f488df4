#pragma once
// The one place where the windows turn the system's CP932 texts into Qt's strings and back, and
// the one place where they turn file-system paths into Qt's strings and back. Everything behind
// it (core, files, settings) keeps CP932 bytes; paths keep this file system's bytes.
#include <QFile>
#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

#include "core/text/cp932.h"

namespace movra {

// CP932 bytes as a QString. Bytes without a character survive as private-use characters, so a
// text shown and taken back is the same bytes.
inline QString ToQString(std::string_view cp932) {
    const std::string utf8 = Cp932ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A QString as CP932 bytes; a character without a CP932 code becomes "?".
inline std::string ToCp932(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

// A path of this file system as a QString (for a file dialog, a label, QFile or QImage), decoded
// the way Qt decodes file names, so a name with Japanese characters reads right and the QString
// names the same file again.
inline QString PathToQString(const std::filesystem::path& path) { return QFile::decodeName(path.native().c_str()); }

// A QString from Qt (a file dialog, a dropped URL, an edit field) as a path of this file system.
inline std::filesystem::path QStringToPath(const QString& text) {
    const QByteArray name = QFile::encodeName(text);
    return std::filesystem::path(std::string(name.constData(), static_cast<std::size_t>(name.size())));
}

}  // namespace movra

#pragma once
// 外字登録 on a desktop with fontconfig: our user-defined character font is copied into the
// user's font folder, and a fontconfig file of ours links it, as the fallback for the
// user-defined characters, to the two families that stand for "ＭＳ ゴシック" and "ＭＳ 明朝"; the
// caller then refreshes fontconfig's cache. The dialogue with the user follows the registration
// of the Windows program: the same questions and messages, except that no restart of the system
// is needed, only of the programs that should show the characters.
#include <filesystem>
#include <functional>
#include <string>

#include "core/text/prompter.h"

namespace movra {

struct GaijiInstallPlaces {
    std::filesystem::path programFolder;  // holds the font file the build made
    std::filesystem::path fontFolder;     // the user's font folder ($XDG_DATA_HOME/fonts)
    std::filesystem::path linkFile;       // our fontconfig file (…/fontconfig/conf.d/…)
    std::string fontFile = "Zodazi.ttf";
};

// The places of the user's desktop: $XDG_DATA_HOME (else ~/.local/share)/fonts and
// $XDG_CONFIG_HOME (else ~/.config)/fontconfig/conf.d/60-movra-gaiji.conf.
GaijiInstallPlaces DesktopGaijiPlaces(const std::filesystem::path& programFolder);

// The linked font path of "ＭＳ ゴシック" (gothic) or "ＭＳ 明朝" in the link file; empty when not
// linked or the file is missing.
std::string LinkedGaijiFont(const std::filesystem::path& linkFile, bool gothic);

enum class GaijiRegistration { Failed, None, Gothic, Mincho, Both };

// The whole command: the font file, both links (asking before replacing one), `refresh` when
// anything changed, and the final message.
GaijiRegistration RegisterGaijiFont(const GaijiInstallPlaces& places, Prompter& prompter,
                                    const std::function<void()>& refresh);

}  // namespace movra

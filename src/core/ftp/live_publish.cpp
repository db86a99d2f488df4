#include "core/ftp/live_publish.h"

#include "core/text/sjis_literal.h"

namespace movra {

using namespace literals;

std::string LivePublishQuestion(const std::optional<std::string>& selectedLine) {
    std::string text;
    if (!selectedLine) {
        text = "開始盤面です。"_sj;
    } else {
        text = *selectedLine + " です。"_sj;
        if (text.size() >= 5 && text[4] == ' ') text.erase(0, 5);
    }
    return text + "\r\r" + "送信しますか？"_sj;
}

}  // namespace movra

// Messages of the input/output errors, by code.
#include "base/errors.h"

#include <cstdio>

namespace {
struct InOutMessage {
    unsigned long code;
    const char* text;
};

constexpr InOutMessage kInOutMessages[] = {
    {2, "ファイルが見つかりません"},
    {3, "不正なファイル名です"},
    {4, "オープンしたファイルが多すぎます"},
    {5, "ファイルへのアクセスが拒否されました"},
    {100, "ファイルの末尾以降を読み込みました"},
    {101, "ディスクがいっぱいです"},
    {106, "入力値が数値ではありません"},
};
} // namespace

ByteString InOutErrorMessage(unsigned long code) {
    for (const InOutMessage& entry : kInOutMessages) {
        if (entry.code == code)
            return entry.text;
    }
    char text[64];
    std::snprintf(text, sizeof text, "I/O エラー (%lu)", code);
    return text;
}

EInOutError::EInOutError(unsigned long code) : Exception(InOutErrorMessage(code)), code_(code) {}

ByteString MessageForDisplay(const ByteString& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + '.';
    return message;
}

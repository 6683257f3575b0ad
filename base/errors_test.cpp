// Input/output error messages by code, and the full stop the message box adds.
#include "base/errors.h"

#include <gtest/gtest.h>

TEST(InOutError, MessagesComeFromTheTableOrTheGenericForm) {
    const struct {
        unsigned long code;
        const char* message;
    } cases[] = {
        {2, "ファイルが見つかりません"},
        {3, "不正なファイル名です"},
        {4, "オープンしたファイルが多すぎます"},
        {5, "ファイルへのアクセスが拒否されました"},
        {100, "ファイルの末尾以降を読み込みました"},
        {101, "ディスクがいっぱいです"},
        {106, "入力値が数値ではありません"},
        {32, "I/O エラー (32)"},
        {0, "I/O エラー (0)"},
    };
    for (const auto& c : cases) {
        EInOutError error(c.code);
        EXPECT_EQ(error.Code(), c.code);
        EXPECT_EQ(error.Message(), c.message);
    }
}

TEST(MessageForDisplay, AppendsAFullStopOnlyAfterBytesThatSortAfterIt) {
    EXPECT_EQ(MessageForDisplay("Exec Error 2"), "Exec Error 2.");
    EXPECT_EQ(MessageForDisplay("abc"), "abc.");
    EXPECT_EQ(MessageForDisplay("C:\\x.ini に書き込めません"), "C:\\x.ini に書き込めません.");
    EXPECT_EQ(MessageForDisplay("done."), "done.");
    EXPECT_EQ(MessageForDisplay("what?!"), "what?!");
    EXPECT_EQ(MessageForDisplay("(32)"), "(32)");
    EXPECT_EQ(MessageForDisplay(""), "");
}

#include <windows.h>

#include <gtest/gtest.h>

#include "base/gbk_text.h"

namespace quandrel {
namespace {

// The program steps through GBK itself; it must agree with Windows on code page 936.
TEST(GbkCodePage, LeadBytesAgreeWithWindows) {
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(IsGbkLeadByte(static_cast<unsigned char>(byte)),
                  IsDBCSLeadByteEx(936, static_cast<BYTE>(byte)) != FALSE)
            << byte;
    }
}

// The tests rely on running as Chinese Windows does.
TEST(GbkCodePage, SystemCodePageIsGbk) { EXPECT_EQ(GetACP(), 936u); }

}  // namespace
}  // namespace quandrel

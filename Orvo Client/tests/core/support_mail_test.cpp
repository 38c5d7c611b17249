// The support mail's body and link.
#include "core/support_mail.h"

#include <gtest/gtest.h>

namespace {

Orvo::support_mail_versions sample() {
  Orvo::support_mail_versions v;
  v.os = {6, 1, 7601};
  v.comctl32 = {6, 0, 2600};
  v.shlwapi = {6, 0, 2900};
  v.shell32 = {6, 0, 3790};
  v.client = {1, 2, 345};
  return v;
}

TEST(SupportMail, TheBodyNamesEveryVersionAsMajorMinorBuildAfterABlankLine) {
  EXPECT_EQ(Orvo::support_mail_body(sample()),
            L"Insert message here...\r\n\r\nOS 6.1.7601\r\nComctl32 6.0.2600\r\nShlwapi 6.0.2900\r\n"
            L"Shell32 6.0.3790\r\nOrvoClient 1.2.345\r\n");
}

TEST(SupportMail, TheLinkGoesToSupportWithSubjectAndTheEscapedBody) {
  const Orvo::support_mail mail = Orvo::support_mail_link(sample());
  const std::wstring body =
      L"Insert%20message%20here...%0D%0A%0D%0AOS%206.1.7601%0D%0AComctl32%206.0.2600%0D%0AShlwapi%206.0.2900%0D%0A"
      L"Shell32%206.0.3790%0D%0AOrvoClient%201.2.345%0D%0A";
  EXPECT_EQ(mail.link, L"mailto:support@quarnell.example?subject=Orvo&body=" + body);
  EXPECT_EQ(mail.body_length, body.size());
  EXPECT_LT(mail.body_length, Orvo::long_mail_body);
}

TEST(SupportMail, UnsafeAndNonAsciiCharactersAreEscapedAndPercentStays) {
  EXPECT_EQ(Orvo::url_escape_unsafe(L"a b\"<>#{}|\\^~[]`%0D"), L"a%20b%22%3C%3E%23%7B%7D%7C%5C%5E%7E%5B%5D%60%0D");
  EXPECT_EQ(Orvo::url_escape_unsafe(L"Az09-_.!*'()/:;@&=+$,?"), L"Az09-_.!*'()/:;@&=+$,?");
  EXPECT_EQ(Orvo::url_escape_unsafe(L"\u00e9\u20ac\t\x7f"), L"%C3%A9%E2%82%AC%09%7F");
}

}  // namespace

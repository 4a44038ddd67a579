#include "kit/text_utils.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <memory>

namespace korvel {

namespace {
icu::UnicodeString fromUtf8(std::string_view s) {
  // Invalid sequences become U+FFFD, so a broken text still counts and compares sensibly.
  return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}
std::string toUtf8(const icu::UnicodeString& s) {
  std::string out;
  s.toUTF8String(out);
  return out;
}
}  // namespace

std::size_t graphemeCount(std::string_view utf8) {
  const icu::UnicodeString text = fromUtf8(utf8);
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> it(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  if (U_FAILURE(status)) return static_cast<std::size_t>(text.countChar32());
  it->setText(text);
  std::size_t count = 0;
  for (int32_t p = it->next(); p != icu::BreakIterator::DONE; p = it->next()) ++count;
  return count;
}

std::string lowercased(std::string_view utf8) {
  icu::UnicodeString text = fromUtf8(utf8);
  text.toLower(icu::Locale::getRoot());
  return toUtf8(text);
}

std::string nfc(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* normalizer = icu::Normalizer2::getNFCInstance(status);
  const icu::UnicodeString text = fromUtf8(utf8);
  if (U_FAILURE(status)) return toUtf8(text);
  icu::UnicodeString out = normalizer->normalize(text, status);
  return U_FAILURE(status) ? toUtf8(text) : toUtf8(out);
}

}  // namespace korvel

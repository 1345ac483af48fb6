// Formats OLE dates as text and reads date and time text back.
#include "com/date_text.h"

#include "com/number_text.h"
#include "com/ole_calendar.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace kelmira::datetext {
namespace {

using calendar::CivilDate;

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string TwoDigits(int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); }

std::string FormatCalendarDay(std::int64_t day) {
  const CivilDate d = calendar::CivilFromDay(day);
  std::string year = std::to_string(d.year);
  year.insert(0, 4 - year.size(), '0');
  return std::to_string(d.month) + "/" + std::to_string(d.day) + "/" + year;
}

std::string FormatTimeOfDay(int second) {
  const int hour = second / 3600;
  const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
  return std::to_string(hour12) + ":" + TwoDigits(second / 60 % 60) + ":" + TwoDigits(second % 60) +
         (hour < 12 ? " AM" : " PM");
}

// ---- reading ------------------------------------------------------------------------------

struct Token {
  enum class Kind { Number, Word, Separator } kind;
  std::int64_t number = 0;  // Number, clamped
  int digitCount = 0;       // Number
  std::string text;         // the digits, the word in lower case, or the separator
};

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::optional<std::vector<Token>> Tokenise(std::u16string_view s) {
  constexpr std::int64_t kNumberClamp = 1000000;
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < s.size();) {
    const char16_t c = s[i];
    if (numtext::IsBlank(c)) {
      ++i;
    } else if (IsAsciiDigit(c)) {
      Token t{Token::Kind::Number, 0, 0, {}};
      for (; i < s.size() && IsAsciiDigit(s[i]); ++i, ++t.digitCount) {
        t.number = std::min<std::int64_t>(t.number * 10 + (s[i] - u'0'), kNumberClamp);
        t.text.push_back(static_cast<char>(s[i]));
      }
      tokens.push_back(t);
    } else if (IsAsciiLetter(c)) {
      Token t{Token::Kind::Word, 0, 0, {}};
      for (; i < s.size() && IsAsciiLetter(s[i]); ++i) t.text.push_back(static_cast<char>(s[i] | 0x20));
      tokens.push_back(t);
    } else if (c == u'/' || c == u'-' || c == u':' || c == u',' || c == u'.') {
      tokens.push_back(Token{Token::Kind::Separator, 0, 0, std::string(1, static_cast<char>(c))});
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return tokens;
}

// 1..12 for an English month name (full or its first three letters, also "sept"), else 0.
int MonthFromWord(const std::string& word) {
  static constexpr std::array<const char*, 12> kNames = {"january",   "february", "march",    "april",
                                                         "may",       "june",     "july",     "august",
                                                         "september", "october",  "november", "december"};
  if (word == "sept") return 9;
  for (int m = 0; m < 12; ++m) {
    const std::string full = kNames[static_cast<std::size_t>(m)];
    if (word == full || (word.size() == 3 && full.compare(0, 3, word) == 0)) return m + 1;
  }
  return 0;
}

// Walks the tokens; each Take* consumes on success only.
class DateReader {
 public:
  explicit DateReader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  std::optional<double> Read() {
    const auto day = ReadDate();
    if (badDate_) return std::nullopt;
    if (day && !AtEnd()) TakeWord("t");
    double fraction = 0;
    if (!AtEnd() || !day) {
      const auto time = ReadTime();
      if (!time) return std::nullopt;
      fraction = *time;
    }
    if (!AtEnd()) return std::nullopt;
    return calendar::JoinOleDate(day.value_or(0), fraction);
  }

 private:
  bool AtEnd() const { return pos_ >= tokens_.size(); }
  const Token* Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < tokens_.size() ? &tokens_[pos_ + ahead] : nullptr;
  }
  bool IsNumber(std::size_t ahead) const {
    const Token* t = Peek(ahead);
    return t && t->kind == Token::Kind::Number;
  }
  bool IsSeparator(std::size_t ahead, const char* text) const {
    const Token* t = Peek(ahead);
    return t && t->kind == Token::Kind::Separator && t->text == text;
  }
  int MonthAt(std::size_t ahead) const {
    const Token* t = Peek(ahead);
    return t && t->kind == Token::Kind::Word ? MonthFromWord(t->text) : 0;
  }
  bool TakeWord(const char* text) {
    const Token* t = Peek();
    if (!t || t->kind != Token::Kind::Word || t->text != text) return false;
    ++pos_;
    return true;
  }
  bool TakeSeparator(const char* text) {
    if (!IsSeparator(0, text)) return false;
    ++pos_;
    return true;
  }

  // A year as written: one or two digits fall in 1930..2029.
  static int YearOf(const Token& t) {
    if (t.digitCount > 2) return static_cast<int>(t.number);
    return static_cast<int>(t.number < 30 ? 2000 + t.number : 1900 + t.number);
  }

  // The day of a date form that was recognised; a day that does not exist fails the whole text.
  std::optional<std::int64_t> DayOf(int year, std::int64_t month, std::int64_t day) {
    badDate_ = year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
               day > calendar::DaysInMonth(year, static_cast<int>(month));
    if (badDate_) return std::nullopt;
    return calendar::DayFromCivil({year, static_cast<int>(month), static_cast<int>(day)});
  }

  std::optional<std::int64_t> ReadDate() {
    for (const char* sep : {"/", "-"}) {
      if (IsNumber(0) && IsSeparator(1, sep) && (IsNumber(2) || MonthAt(2)) && IsSeparator(3, sep) && IsNumber(4))
        return ReadNumericDate();
    }
    if (MonthAt(0) && IsNumber(1)) {  // Jan 15, 2003
      const int month = MonthAt(0);
      const Token day = tokens_[pos_ + 1];
      pos_ += 2;
      TakeSeparator(",");
      if (!IsNumber(0)) return badDate_ = true, std::nullopt;
      return DayOf(YearOf(tokens_[pos_++]), month, day.number);
    }
    if (IsNumber(0) && MonthAt(1) && (IsNumber(2) || (IsSeparator(2, ",") && IsNumber(3)))) {  // 15 Jan 2003
      const Token day = tokens_[pos_];
      const int month = MonthAt(1);
      pos_ += 2;
      TakeSeparator(",");
      return DayOf(YearOf(tokens_[pos_++]), month, day.number);
    }
    return std::nullopt;
  }

  // a/b/c: year first when it has three or more digits, day first when b is a month name,
  // otherwise month/day/year.
  std::optional<std::int64_t> ReadNumericDate() {
    const Token a = tokens_[pos_], b = tokens_[pos_ + 2], c = tokens_[pos_ + 4];
    pos_ += 5;
    const int namedMonth = b.kind == Token::Kind::Word ? MonthFromWord(b.text) : 0;
    const std::int64_t middle = namedMonth ? namedMonth : b.number;
    if (a.digitCount >= 3) return DayOf(YearOf(a), middle, c.number);
    if (namedMonth) return DayOf(YearOf(c), middle, a.number);
    return DayOf(YearOf(c), a.number, b.number);
  }

  // h[:mm[:ss[.fff]]] [AM|PM]; minutes are required unless AM or PM follows.
  std::optional<double> ReadTime() {
    if (!IsNumber(0)) return std::nullopt;
    std::int64_t hour = tokens_[pos_++].number, minute = 0, second = 0;
    double fractionOfSecond = 0;
    bool hasMinutes = false;
    if (TakeSeparator(":")) {
      if (!IsNumber(0)) return std::nullopt;
      minute = tokens_[pos_++].number;
      hasMinutes = true;
      if (TakeSeparator(":")) {
        if (!IsNumber(0)) return std::nullopt;
        second = tokens_[pos_++].number;
        if (TakeSeparator(".")) {
          if (!IsNumber(0)) return std::nullopt;
          fractionOfSecond = Fraction(tokens_[pos_++]);
        }
      }
    }
    const bool am = TakeWord("am") || TakeWord("a");
    const bool pm = !am && (TakeWord("pm") || TakeWord("p"));
    if (!hasMinutes && !am && !pm) return std::nullopt;
    if (am || pm) {
      if (hour < 1 || hour > 12) return std::nullopt;
      hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return ((hour * 3600 + minute * 60 + second) + fractionOfSecond) / calendar::kSecondsPerDay;
  }

  // The digits of a token read as a decimal fraction (".25" is 0.25).
  static double Fraction(const Token& t) {
    const std::string text = "0." + t.text;
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  bool badDate_ = false;
};

}  // namespace

std::optional<std::u16string> FormatDate(double date) {
  const auto split = calendar::SplitOleDate(date);
  if (!split) return std::nullopt;
  if (split->day == 0 || split->second != 0) {
    const std::string time = FormatTimeOfDay(split->second);
    if (split->day == 0) return Widen(time);
    return Widen(FormatCalendarDay(split->day) + " " + time);
  }
  return Widen(FormatCalendarDay(split->day));
}

std::optional<double> ParseDate(std::u16string_view text) {
  auto tokens = Tokenise(numtext::TrimBlanks(text));
  if (!tokens || tokens->empty()) return std::nullopt;
  return DateReader(std::move(*tokens)).Read();
}

}  // namespace kelmira::datetext

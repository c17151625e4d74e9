#include "platform/Expression.h"

#include "platform/Text.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string_view>

namespace {

constexpr int kMaxDepth = 200; // nesting beyond this is refused, so the reader's stack stays small

struct Refused {
    std::string why;
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "\"" + text + "\"" + rest, built by appending.
std::string Quoted(std::string_view text, const char* rest) {
    std::string out = "\"";
    out.append(text).append("\"").append(rest);
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

using Function = double (*)(double);

Function FindFunction(const std::string& name) {
    static const struct {
        const char* name;
        Function f;
    } kFunctions[] = {
        {"sqrt", [](double x) { return std::sqrt(x); }}, {"exp", [](double x) { return std::exp(x); }},
        {"ln", [](double x) { return std::log(x); }},    {"log10", [](double x) { return std::log10(x); }},
        {"sin", [](double x) { return std::sin(x); }},   {"cos", [](double x) { return std::cos(x); }},
        {"tan", [](double x) { return std::tan(x); }},   {"abs", [](double x) { return std::fabs(x); }},
    };
    for (const auto& f : kFunctions)
        if (name == f.name) return f.f;
    return nullptr;
}

// Recursive descent that computes as it reads:
//   sum     := product (("+" | "-") product)*
//   product := unary (("*" | "/") unary)*
//   unary   := ("-" | "+") unary | power
//   power   := primary ("^" unary)?
//   primary := number | constant | function "(" sum ")" | "(" sum ")"
class Reader {
  public:
    explicit Reader(std::string_view text) : m_text(text) {}

    double Whole() {
        SkipBlanks();
        if (m_pos == m_text.size()) throw Refused{"the text is empty"};
        const double v = Sum();
        SkipBlanks();
        if (m_pos != m_text.size()) Unexpected();
        return v;
    }

  private:
    void SkipBlanks() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }
    // The next character that is not a blank, or '\0' at the end.
    char Peek() {
        SkipBlanks();
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }

    [[noreturn]] void Unexpected() {
        if (m_pos >= m_text.size()) throw Refused{"the expression ends too early"};
        // A name is shown whole, anything else one character at a time.
        std::size_t size = Utf8CharSize(m_text, m_pos);
        if (IsLetter(m_text[m_pos]))
            while (m_pos + size < m_text.size() &&
                   (IsLetter(m_text[m_pos + size]) || IsDigit(m_text[m_pos + size])))
                ++size;
        const std::string_view bad = m_text.substr(m_pos, size);
        throw Refused{Quoted(bad, " cannot stand at character ")
                          .append(std::to_string(Utf8Length(m_text.substr(0, m_pos)) + 1))};
    }

    // '+' or '-' when a sign comes next, with its length in bytes (the minus sign U+2212, as
    // text copied from a document has it, counts as '-'); '\0' otherwise.
    char Sign(std::size_t& length) {
        const char c = Peek();
        length = 1;
        if (c == '+' || c == '-') return c;
        length = 3;
        return m_text.substr(m_pos, 3) == "\xE2\x88\x92" ? '-' : '\0';
    }

    double Sum() {
        double v = Product();
        std::size_t length = 0;
        for (char c = Sign(length); c; c = Sign(length)) {
            m_pos += length;
            const double r = Product();
            v = c == '+' ? v + r : v - r;
        }
        return v;
    }

    double Product() {
        double v = Unary();
        for (char c = Peek(); c == '*' || c == '/'; c = Peek()) {
            ++m_pos;
            const double r = Unary();
            v = c == '*' ? v * r : v / r;
        }
        return v;
    }

    double Unary() {
        if (++m_depth > kMaxDepth) throw Refused{"the expression is nested too deeply"};
        double v;
        std::size_t length = 0;
        if (const char c = Sign(length)) {
            m_pos += length;
            v = Unary();
            if (c == '-') v = -v;
        } else {
            v = Power();
        }
        --m_depth;
        return v;
    }

    double Power() {
        const double base = Primary();
        if (Peek() != '^') return base;
        ++m_pos;
        return std::pow(base, Unary());
    }

    double Primary() {
        const char c = Peek();
        if (c == '(') {
            ++m_pos;
            const double v = Sum();
            if (Peek() != ')') {
                if (m_pos >= m_text.size()) throw Refused{"a \")\" is missing"};
                Unexpected();
            }
            ++m_pos;
            return v;
        }
        if (IsDigit(c) || c == '.') return Number();
        if (IsLetter(c)) return Name();
        Unexpected();
    }

    double Number() {
        const std::size_t start = m_pos;
        std::size_t p = m_pos;
        while (p < m_text.size() && IsDigit(m_text[p]))
            ++p;
        if (p < m_text.size() && m_text[p] == '.') ++p;
        while (p < m_text.size() && IsDigit(m_text[p]))
            ++p;
        // An exponent only when digits follow: in "2e" the e is a name of its own.
        if (p < m_text.size() && (m_text[p] == 'e' || m_text[p] == 'E')) {
            std::size_t q = p + 1;
            if (q < m_text.size() && (m_text[q] == '+' || m_text[q] == '-')) ++q;
            if (q < m_text.size() && IsDigit(m_text[q])) {
                p = q;
                while (p < m_text.size() && IsDigit(m_text[p]))
                    ++p;
            }
        }
        const std::string literal(m_text.substr(start, p - start));
        char* end = nullptr;
        const double v = std::strtod(literal.c_str(), &end);
        if (end == literal.c_str()) Unexpected(); // a lone "."
        m_pos = start + static_cast<std::size_t>(end - literal.c_str());
        return v;
    }

    double Name() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && (IsLetter(m_text[m_pos]) || IsDigit(m_text[m_pos])))
            ++m_pos;
        const std::string_view written = m_text.substr(start, m_pos - start);
        const std::string name = Lower(written);
        if (name == "pi") return std::numbers::pi;
        if (name == "e") return std::numbers::e;
        const Function f = FindFunction(name);
        if (!f) throw Refused{Quoted(written, " is not a name Kintra knows")};
        if (Peek() != '(') throw Refused{Quoted(written, " needs its argument in parentheses")};
        return f(Primary());
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_depth = 0;
};

} // namespace

bool ReadNumberOrExpression(const std::string& text, double& value, std::string* why) {
    double v = 0.0;
    if (ParseDouble(text, v)) {
        if (std::isnan(v)) {
            if (why) *why = Quoted(text, " is not a number");
            return false;
        }
        value = v;
        return true;
    }
    try {
        v = Reader(text).Whole();
    } catch (const Refused& r) {
        if (why) *why = r.why;
        return false;
    }
    if (!std::isfinite(v)) {
        if (why) *why = "the result is not a finite number";
        return false;
    }
    value = v;
    return true;
}

std::string ExpressionRefusal(const std::string& field, const std::string& why) {
    std::string text = "Please enter a number or an expression for ";
    text.append(field).append(": ").append(why).append(".");
    return text;
}

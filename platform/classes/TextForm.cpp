#include "platform/classes/TextForm.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <type_traits>
#include <vector>

namespace dcs {

// ---------------------------------------------------------------------------------
// Floats

namespace {

bool SameBits(long double A, long double B) { return A == B && std::signbit(A) == std::signbit(B); }

// The shortest digits that read back to Value, written positionally for ordinary
// magnitudes (500.0, 0.25) and with an exponent otherwise (1e+300). Independent of the
// process locale, so a decimal comma never leaks into a stored form.
template <class F> std::string ShortestText(F Value)
{
    char sci[64];
    auto r = std::to_chars(sci, sci + sizeof sci, Value, std::chars_format::scientific);
    std::string s(sci, r.ptr);
    size_t e = s.find('e');
    int exp = std::atoi(s.c_str() + e + 1);
    std::string mantissa = s.substr(0, e);
    int digits = 0;
    for (char c : mantissa)
        digits += c >= '0' && c <= '9';
    if (exp >= -5 && exp < 17) {
        char fixed[96];
        int decimals = std::max(0, digits - 1 - exp);
        auto f = std::to_chars(fixed, fixed + sizeof fixed, Value, std::chars_format::fixed, decimals);
        s.assign(fixed, f.ptr);
        if (s.find('.') == std::string::npos)
            s += ".0";
        return s;
    }
    if (mantissa.find('.') == std::string::npos)
        mantissa += ".0";
    return mantissa + s.substr(e);
}

}  // namespace

std::string FloatToFormText(long double Value)
{
    if (!std::isfinite(Value))
        throw EWriteError("The text form has no notation for an infinite or undefined float");
    double d = static_cast<double>(Value);
    if (SameBits(static_cast<long double>(d), Value))
        return ShortestText(d);
    return ShortestText(Value) + "L";
}

long double FormTextToFloat(std::string_view Text)
{
    // The "C" locale's reading, whatever locale the process runs in; unlike from_chars it
    // also hands back values that underflow into the subnormal range.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    std::string s(Text);
    bool extended = !s.empty() && (s.back() == 'L' || s.back() == 'l');
    if (extended)
        s.pop_back();
    bool plain = !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+';
    });
    char* end = nullptr;
    long double v = plain ? (extended ? strtold_l(s.c_str(), &end, cLocale)
                                      : static_cast<long double>(strtod_l(s.c_str(), &end, cLocale)))
                          : 0;
    if (!plain || *end != '\0')
        throw EReadError("Invalid float '" + std::string(Text) + "'");
    if (std::isinf(v))
        throw EReadError("Float '" + std::string(Text) + "' is out of range");
    return v;
}

// ---------------------------------------------------------------------------------
// Binary to text

namespace {

constexpr size_t kInlineWidth = 64;

std::string Indent(int N) { return std::string(static_cast<size_t>(N), ' '); }

std::string QuoteString(const std::string& S, int IndentAt)
{
    if (S.empty())
        return "''";
    std::string out;
    bool inQuote = false;
    size_t chunk = 0;
    for (size_t i = 0; i < S.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(S[i]);
        // Long strings break into pieces joined by +, never inside a UTF-8 sequence.
        if (chunk >= kInlineWidth && (c & 0xC0) != 0x80) {
            if (inQuote)
                out += '\'';
            inQuote = false;
            out += " +\n" + Indent(IndentAt);
            chunk = 0;
        }
        if (c < 0x20 || c == 0x7F) {
            if (inQuote)
                out += '\'';
            inQuote = false;
            out += '#' + std::to_string(c);
        } else {
            if (!inQuote)
                out += '\'';
            inQuote = true;
            if (c == '\'')
                out += '\'';
            out += static_cast<char>(c);
        }
        ++chunk;
    }
    if (inQuote)
        out += '\'';
    return out;
}

class TBinaryToText {
public:
    explicit TBinaryToText(TStream& In) : R(In) {}

    std::string Run()
    {
        R.ReadSignature();
        Object(0);
        if (R.Stream().Position() != R.Stream().Size())
            throw EReadError("Unexpected data after the end of the stored object");
        return std::move(Out);
    }

private:
    // Names go into the text as they stand, so one the text reader would not take back
    // the same way (a blank, a leading digit, a keyword where it ends a block, an
    // identifier spelled like True, False or nil) is refused here.
    static std::string Checked(std::string Name, const char* What, bool AllowDots)
    {
        if (!IsValidIdent(Name, AllowDots))
            throw EReadError(std::string("Invalid ") + What + " " + QuoteString(Name, 0) +
                             " in the stored object: the text form cannot carry it");
        return Name;
    }
    static std::string PropName(std::string Name)
    {
        if (SameText(Name, "end") || SameText(Name, "object"))
            throw EReadError("Invalid property name '" + Name +
                             "' in the stored object: the text form cannot carry it");
        return Checked(std::move(Name), "property name", true);
    }

    void Object(int Ind)
    {
        TNestingGuard nest(Depth);
        std::string cls = Checked(R.ReadStr(), "class name", false);
        std::string name = R.ReadStr();
        if (!name.empty())
            Checked(name, "component name", false);
        Out += Indent(Ind) + "object " + (name.empty() ? "" : name + ": ") + cls + "\n";
        while (!R.EndOfList()) {
            std::string prop = PropName(R.ReadStr());
            Out += Indent(Ind + 2) + prop + " = " + Value(Ind + 2) + "\n";
        }
        R.ReadListEnd();
        while (!R.EndOfList())
            Object(Ind + 2);
        R.ReadListEnd();
        Out += Indent(Ind) + "end\n";
    }

    static std::string Hex(const std::vector<uint8_t>& Data, size_t From, size_t Count)
    {
        static const char* digits = "0123456789ABCDEF";
        std::string s;
        for (size_t i = From; i < From + Count && i < Data.size(); ++i) {
            s += digits[Data[i] >> 4];
            s += digits[Data[i] & 15];
        }
        return s;
    }

    // The text of one value whose first line continues the current line and whose
    // further lines are indented under Ind.
    std::string Value(int Ind)
    {
        TNestingGuard nest(Depth);
        TValueType v = R.NextValue();
        switch (v) {
        case vaList: {
            R.ReadListBegin();
            std::vector<std::string> items;
            while (!R.EndOfList())
                items.push_back(Value(Ind + 2));
            R.ReadListEnd();
            std::string inl = "(";
            bool multi = false;
            for (size_t i = 0; i < items.size(); ++i) {
                multi |= items[i].find('\n') != std::string::npos;
                inl += (i ? " " : "") + items[i];
            }
            inl += ")";
            if (!multi && inl.size() <= kInlineWidth)
                return inl;
            std::string s = "(";
            for (const std::string& it : items)
                s += "\n" + Indent(Ind + 2) + it;
            return s + ")";
        }
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64: return std::to_string(R.ReadInt64());
        case vaExtended: return FloatToFormText(R.ReadFloat());
        case vaString: return QuoteString(R.ReadString(), Ind + 2);
        case vaIdent: {
            std::string id = R.ReadIdent();
            if (SameText(id, "True") || SameText(id, "False") || SameText(id, "nil"))
                throw EReadError("Invalid identifier '" + id +
                                 "' in the stored object: the text form reads it as a constant");
            return Checked(std::move(id), "identifier", true);
        }
        case vaFalse:
        case vaTrue:
        case vaNil: return R.ReadIdent();
        case vaBinary: {
            std::vector<uint8_t> data = R.ReadBinary();
            constexpr size_t perLine = 32;
            if (data.size() <= perLine / 2)
                return "{" + Hex(data, 0, data.size()) + "}";
            std::string s = "{";
            for (size_t i = 0; i < data.size(); i += perLine)
                s += "\n" + Indent(Ind + 2) + Hex(data, i, perLine);
            return s + "}";
        }
        case vaSet: {
            R.ReadValue();
            std::string s = "[";
            for (bool first = true;; first = false) {
                std::string e = R.ReadStr();
                if (e.empty())
                    break;
                Checked(e, "set element", false);
                s += (first ? "" : ", ") + e;
            }
            return s + "]";
        }
        case vaCollection: {
            R.ReadValue();
            std::string s = "<";
            while (!R.EndOfList()) {
                if (R.NextValue() != vaList)
                    R.ReadInteger();  // item index; items are positional in the text
                R.ReadListBegin();
                s += "\n" + Indent(Ind + 2) + "item";
                while (!R.EndOfList()) {
                    std::string prop = PropName(R.ReadStr());
                    s += "\n" + Indent(Ind + 4) + prop + " = " + Value(Ind + 4);
                }
                R.ReadListEnd();
                s += "\n" + Indent(Ind + 2) + "end";
            }
            R.ReadListEnd();
            return s + ">";
        }
        case vaNull: break;
        }
        R.ReadValue();
        throw EReadError("Invalid property value: a value was expected, found end of list");
    }

    TReader R;
    std::string Out;
    int Depth = 0;
};

// ---------------------------------------------------------------------------------
// Text to binary

enum class TToken {
    Eof,
    Symbol,
    String,
    Integer,
    Float,
    Char
};

class TTextToBinary {
public:
    TTextToBinary(std::string_view Text, TStream& Out) : S(Text), W(Out) {}

    void Run()
    {
        Next();
        W.WriteSignature();
        Object();
        if (Tok != TToken::Eof)
            Error("unexpected text after the end of the object: " + Describe());
    }

private:
    [[noreturn]] void Error(const std::string& Message)
    {
        throw EReadError("Line " + std::to_string(TokLine) + ": " + Message);
    }

    std::string Describe() const
    {
        switch (Tok) {
        case TToken::Eof: return "end of text";
        case TToken::String: return "a string";
        case TToken::Char: return std::string("'") + Ch + "'";
        default: return "'" + Text + "'";
        }
    }

    bool IsSymbol(std::string_view Word) const { return Tok == TToken::Symbol && SameText(Text, Word); }
    bool IsChar(char C) const { return Tok == TToken::Char && Ch == C; }

    void ExpectChar(char C)
    {
        if (!IsChar(C))
            Error(std::string("expected '") + C + "' but found " + Describe());
        Next();
    }
    std::string ExpectSymbol(const char* What)
    {
        if (Tok != TToken::Symbol)
            Error(std::string("expected ") + What + " but found " + Describe());
        std::string t = Text;
        Next();
        return t;
    }
    void ExpectWord(const char* Word)
    {
        if (!IsSymbol(Word))
            Error(std::string("expected '") + Word + "' but found " + Describe());
        Next();
    }

    // ASCII only, whatever the process locale.
    static bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
    static bool IsIdentChar(char C) { return IsIdentStart(C) || (C >= '0' && C <= '9'); }

    void SkipBlanks()
    {
        while (P < S.size()) {
            char c = S[P];
            if (c == '\n')
                ++Line;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                ++P;
            else
                break;
        }
    }

    static void AppendUTF8(std::string& Out, uint32_t Code)
    {
        if (Code < 0x80) {
            Out += static_cast<char>(Code);
        } else if (Code < 0x800) {
            Out += static_cast<char>(0xC0 | (Code >> 6));
            Out += static_cast<char>(0x80 | (Code & 0x3F));
        } else if (Code < 0x10000) {
            Out += static_cast<char>(0xE0 | (Code >> 12));
            Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
            Out += static_cast<char>(0x80 | (Code & 0x3F));
        } else {
            Out += static_cast<char>(0xF0 | (Code >> 18));
            Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
            Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
            Out += static_cast<char>(0x80 | (Code & 0x3F));
        }
    }

    void Next()
    {
        SkipBlanks();
        TokLine = Line;
        Text.clear();
        if (P >= S.size()) {
            Tok = TToken::Eof;
            return;
        }
        char c = S[P];
        if (IsIdentStart(c)) {
            // Dotted names ("Font.Height", "Form1.mixer.InputPins._Pin0") are one symbol.
            size_t b = P;
            while (P < S.size() && (IsIdentChar(S[P]) || (S[P] == '.' && P + 1 < S.size() && IsIdentStart(S[P + 1]))))
                ++P;
            Text.assign(S.substr(b, P - b));
            Tok = TToken::Symbol;
            return;
        }
        if (c == '\'' || c == '#') {
            StringToken();
            return;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            NumberToken();
            return;
        }
        if (c == '$') {
            size_t b = ++P;
            while (P < S.size() && std::isxdigit(static_cast<unsigned char>(S[P])))
                ++P;
            if (P == b || P - b > 16)
                Error("invalid hexadecimal number");
            IntValue = static_cast<int64_t>(std::stoull(std::string(S.substr(b, P - b)), nullptr, 16));
            Text.assign(S.substr(b - 1, P - b + 1));
            Tok = TToken::Integer;
            return;
        }
        Tok = TToken::Char;
        Ch = c;
        ++P;
    }

    void StringToken()
    {
        Tok = TToken::String;
        while (P < S.size()) {
            if (S[P] == '\'') {
                ++P;
                for (;;) {
                    if (P >= S.size() || S[P] == '\n' || S[P] == '\r')
                        Error("unterminated string");
                    if (S[P] == '\'') {
                        if (P + 1 < S.size() && S[P + 1] == '\'') {
                            Text += '\'';
                            P += 2;
                            continue;
                        }
                        ++P;
                        break;
                    }
                    Text += S[P++];
                }
            } else if (S[P] == '#') {
                size_t b = ++P;
                int base = 10;
                if (P < S.size() && S[P] == '$') {
                    base = 16;
                    b = ++P;
                }
                while (P < S.size() && std::isxdigit(static_cast<unsigned char>(S[P])) &&
                       (base == 16 || std::isdigit(static_cast<unsigned char>(S[P]))))
                    ++P;
                if (P == b || P - b > 7)
                    Error("invalid character code in string");
                unsigned long code = std::stoul(std::string(S.substr(b, P - b)), nullptr, base);
                if (code > 0x10FFFF)
                    Error("invalid character code in string");
                AppendUTF8(Text, static_cast<uint32_t>(code));
            } else {
                break;
            }
        }
    }

    void NumberToken()
    {
        size_t b = P;
        bool isFloat = false;
        auto digits = [&] {
            while (P < S.size() && std::isdigit(static_cast<unsigned char>(S[P])))
                ++P;
        };
        digits();
        if (P + 1 < S.size() && S[P] == '.' && std::isdigit(static_cast<unsigned char>(S[P + 1]))) {
            isFloat = true;
            ++P;
            digits();
        }
        if (P < S.size() && (S[P] == 'e' || S[P] == 'E')) {
            size_t e = P + 1;
            if (e < S.size() && (S[e] == '+' || S[e] == '-'))
                ++e;
            if (e < S.size() && std::isdigit(static_cast<unsigned char>(S[e]))) {
                isFloat = true;
                P = e;
                digits();
            }
        }
        if (P < S.size() && (S[P] == 'L' || S[P] == 'l')) {
            isFloat = true;
            ++P;
        }
        if (P < S.size() && IsIdentChar(S[P]))
            Error("invalid number '" + std::string(S.substr(b, P - b + 1)) + "'");
        Text.assign(S.substr(b, P - b));
        if (isFloat) {
            Tok = TToken::Float;
            return;
        }
        Tok = TToken::Integer;
        errno = 0;
        unsigned long long v = std::strtoull(Text.c_str(), nullptr, 10);
        if (errno == ERANGE || v > static_cast<unsigned long long>(INT64_MAX) + 1)
            Error("integer " + Text + " is too large");
        IntValue = static_cast<int64_t>(v);  // INT64_MAX + 1 only makes sense negated
        BigInt = v == static_cast<unsigned long long>(INT64_MAX) + 1;
    }

    void Object()
    {
        TNestingGuard nest(Depth);
        ExpectWord("object");
        std::string first = ExpectSymbol("a component name or class");
        std::string name, cls;
        if (IsChar(':')) {
            Next();
            name = first;
            cls = ExpectSymbol("a class name");
        } else {
            cls = first;
        }
        if (!IsValidIdent(cls) || (!name.empty() && !IsValidIdent(name)))
            Error("invalid object header '" + (name.empty() ? cls : name + ": " + cls) + "'");
        W.WriteStr(cls);
        W.WriteStr(name);
        while (!IsSymbol("end") && !IsSymbol("object")) {
            if (Tok == TToken::Eof)
                Error("expected 'end' but found end of text");
            Property();
        }
        W.WriteListEnd();
        while (!IsSymbol("end")) {
            if (Tok == TToken::Eof)
                Error("expected 'end' but found end of text");
            Object();
        }
        W.WriteListEnd();
        Next();
    }

    void Property()
    {
        std::string name = ExpectSymbol("a property name");
        if (name.size() > 255)
            Error("property name too long");
        W.WritePropName(name);
        ExpectChar('=');
        Value();
    }

    void Value()
    {
        TNestingGuard nest(Depth);
        if (IsChar('-') || IsChar('+')) {
            bool negative = Ch == '-';
            Next();
            if (Tok == TToken::Integer) {
                if (BigInt && !negative)
                    Error("integer " + Text + " is too large");
                W.WriteInteger(negative ? static_cast<int64_t>(0ull - static_cast<uint64_t>(IntValue)) : IntValue);
            } else if (Tok == TToken::Float) {
                long double f = FormTextToFloat(Text);
                W.WriteFloat(negative ? -f : f);
            } else {
                Error("expected a number but found " + Describe());
            }
            Next();
            return;
        }
        switch (Tok) {
        case TToken::Integer:
            if (BigInt)
                Error("integer " + Text + " is too large");
            W.WriteInteger(IntValue);
            Next();
            return;
        case TToken::Float: try { W.WriteFloat(FormTextToFloat(Text));
            } catch (const EReadError& e) {
                Error(e.Message());
            }
            Next();
            return;
        case TToken::String: {
            std::string s = Text;
            Next();
            while (IsChar('+')) {
                Next();
                if (Tok != TToken::String)
                    Error("expected a string after '+' but found " + Describe());
                s += Text;
                Next();
            }
            W.WriteString(s);
            return;
        }
        case TToken::Symbol:
            if (Text.size() > 255)
                Error("identifier too long");
            W.WriteIdent(Text);
            Next();
            return;
        case TToken::Eof: Error("expected a value but found end of text");
        case TToken::Char: break;
        }
        switch (Ch) {
        case '(':
            Next();
            W.WriteListBegin();
            while (!IsChar(')')) {
                if (Tok == TToken::Eof)
                    Error("expected ')' but found end of text");
                Value();
            }
            W.WriteListEnd();
            Next();
            return;
        case '[':
            Next();
            W.WriteValue(vaSet);
            if (!IsChar(']')) {
                for (;;) {
                    std::string e = ExpectSymbol("a set element");
                    if (!IsValidIdent(e))
                        Error("invalid set element '" + e + "'");
                    W.WriteStr(e);
                    if (IsChar(']'))
                        break;
                    ExpectChar(',');
                }
            }
            W.WriteStr("");
            Next();
            return;
        case '{': Binary(); return;
        case '<':
            Next();
            W.WriteValue(vaCollection);
            while (!IsChar('>')) {
                ExpectWord("item");
                W.WriteListBegin();
                while (!IsSymbol("end")) {
                    if (Tok == TToken::Eof)
                        Error("expected 'end' but found end of text");
                    Property();
                }
                Next();
                W.WriteListEnd();
            }
            W.WriteListEnd();
            Next();
            return;
        default: Error("expected a value but found " + Describe());
        }
    }

    void Binary()
    {
        // Raw scan: the hex digits may be spread over several lines.
        std::vector<uint8_t> data;
        int high = -1;
        for (;;) {
            if (P >= S.size())
                Error("unterminated binary data");
            char c = S[P++];
            if (c == '}')
                break;
            if (c == '\n')
                ++Line;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                continue;
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                Error(std::string("invalid character '") + c + "' in binary data");
            int n = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10);
            if (high < 0) {
                high = n;
            } else {
                data.push_back(static_cast<uint8_t>(high << 4 | n));
                high = -1;
            }
        }
        if (high >= 0)
            Error("binary data has an odd number of hex digits");
        W.WriteBinary(data.data(), static_cast<uint32_t>(data.size()));
        Next();
    }

    std::string_view S;
    size_t P = 0;
    int Line = 1;
    int TokLine = 1;
    TToken Tok = TToken::Eof;
    std::string Text;
    char Ch = 0;
    int64_t IntValue = 0;
    bool BigInt = false;
    int Depth = 0;
    TWriter W;
};

std::string ReadAll(TStream& In)
{
    std::string s(static_cast<size_t>(In.Size() - In.Position()), '\0');
    In.ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
    return s;
}

}  // namespace

std::string ObjectBinaryToText(TStream& Input) { return TBinaryToText(Input).Run(); }

void ObjectBinaryToText(TStream& Input, TStream& Output)
{
    std::string s = ObjectBinaryToText(Input);
    Output.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

void ObjectTextToBinary(std::string_view Text, TStream& Output) { TTextToBinary(Text, Output).Run(); }

void ObjectTextToBinary(TStream& Input, TStream& Output)
{
    std::string s = ReadAll(Input);
    ObjectTextToBinary(s, Output);
}

std::string ComponentToText(TComponent* Root)
{
    TMemoryStream bin;
    WriteComponentToStream(bin, Root);
    bin.SetPosition(0);
    return ObjectBinaryToText(bin);
}

TComponent* ReadComponentFromText(std::string_view Text, TComponent* Root)
{
    TMemoryStream bin;
    ObjectTextToBinary(Text, bin);
    bin.SetPosition(0);
    return ReadComponentFromStream(bin, Root);
}

}  // namespace dcs

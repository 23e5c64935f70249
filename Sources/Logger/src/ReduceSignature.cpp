#include "Log.h"

#include <cctype>
#include <cstring>

namespace Log {

namespace {

bool IsIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool StartsWith(const std::string& text, std::size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// The index just past the bracket that closes the one at `open`; brackets of
// all kinds ((), <>, []) count alike, which holds for well-formed signatures.
std::size_t SkipBalanced(const std::string& text, std::size_t open)
{
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (std::strchr("(<[", text[i]))
            ++depth;
        else if (std::strchr(")>]", text[i]) && --depth == 0)
            return i + 1;
    }
    return text.size();
}

// After a parameter list or a lambda: qualifiers ("const", "&&", "mutable")
// may follow, then either "::" and a nested name (a lambda or local class
// inside the function) or the end of the name. Moves `at` past the "::" and
// returns true when the name goes on.
bool ContinuesAfterScope(const std::string& text, std::size_t& at)
{
    std::size_t i = at;
    while (i < text.size()
        && (std::islower(static_cast<unsigned char>(text[i])) || text[i] == '_' || text[i] == ' ' || text[i] == '&'))
        ++i;
    if (!StartsWith(text, i, "::"))
        return false;
    at = i + 2;
    return true;
}

// Reads the name of an operator starting at `at` ("operator()", "operator<<",
// "operator bool", "operator new"), up to its parameter list.
std::string ReadOperator(const std::string& text, std::size_t& at)
{
    std::size_t i = at + std::strlen("operator");
    if (StartsWith(text, i, "()")) {
        i += 2;
    } else if (text[i] != ' ') {
        while (i < text.size() && text[i] != '(')
            ++i;
    } else {
        // A conversion: its type may hold template arguments.
        int angles = 0;
        for (; i < text.size() && (text[i] != '(' || angles > 0); ++i) {
            if (text[i] == '<')
                ++angles;
            else if (text[i] == '>')
                --angles;
        }
    }
    std::string name = text.substr(at, i - at);
    at = i;
    return name;
}

bool IsOperatorAt(const std::string& text, std::size_t at)
{
    return StartsWith(text, at, "operator") && (at == 0 || !IsIdentifierChar(text[at - 1]))
        && !IsIdentifierChar(text[at + std::strlen("operator")]);
}

} // namespace

// GCC's signatures look like "static T B::g(T) [with T = int]",
// "{anonymous}::A::f() const::<lambda(int)>" or "B::operator bool() const".
// Return types and specifiers are the words before the last top-level space,
// parameter lists and qualifiers are dropped, lambdas become "<lambda>".
std::string ReduceSignature(const std::string& signature)
{
    const std::string text = signature.substr(0, signature.find(" [with "));
    std::string name;
    std::size_t i = 0;
    while (i < text.size()) {
        if (StartsWith(text, i, "<lambda(")) {
            name += "<lambda>";
            i = SkipBalanced(text, i);
            if (!ContinuesAfterScope(text, i))
                break;
            name += "::";
        } else if (IsOperatorAt(text, i)) {
            name += ReadOperator(text, i);
        } else if (text[i] == '(') {
            i = SkipBalanced(text, i);
            if (!ContinuesAfterScope(text, i))
                break;
            name += "::";
        } else if (text[i] == '<') {
            const std::size_t end = SkipBalanced(text, i);
            name += text.substr(i, end - i);
            i = end;
        } else if (text[i] == ' ') {
            name.clear();
            ++i;
        } else {
            name += text[i++];
        }
    }
    return name.empty() ? signature : name;
}

} // namespace Log

#include "velinputscript.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace
{

struct Registry {
    std::mutex mutex; // guards verbs; taken alone
    std::map<std::string, VelInputScript::Verb> verbs;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

VelInputScript::Verb findVerb(const std::string &name)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.verbs.find(name);
    return it == r.verbs.end() ? VelInputScript::Verb() : it->second;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

size_t skipBlanks(const std::string &text, size_t at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

std::string trimmedRight(const std::string &text)
{
    size_t end = text.size();
    while (end > 0 && (isBlank(text[end - 1]) || text[end - 1] == '\r'))
        --end;
    return text.substr(0, end);
}

// The unquoted rest of a line, up to a comment. A '#' begins a comment only
// at the start of a word, so that text such as "C#" can be typed.
std::string plainRest(const std::string &line, size_t at)
{
    for (size_t i = at; i < line.size(); ++i) {
        if (line[i] == '#' && (i == at || isBlank(line[i - 1])))
            return trimmedRight(line.substr(at, i - at));
    }
    return trimmedRight(line.substr(at));
}

bool quotedRest(const std::string &line, size_t at, std::string *out, std::string *error)
{
    std::string text;
    size_t i = at + 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] != '\\') {
            text += line[i];
            continue;
        }
        if (++i == line.size())
            break;
        switch (line[i]) {
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case '"':
        case '\\':
            text += line[i];
            break;
        default:
            *error = std::string("unknown escape \\") + line[i];
            return false;
        }
    }
    if (i >= line.size()) {
        *error = "unterminated quote";
        return false;
    }
    const size_t after = skipBlanks(line, i + 1);
    if (after < line.size() && line[after] != '#' && line[after] != '\r') {
        *error = "text after the closing quote";
        return false;
    }
    *out = text;
    return true;
}

std::vector<std::string> splitWords(const std::string &text)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

std::string location(const VelInputScript::Step &step)
{
    return step.source + ":" + std::to_string(step.line);
}

} // namespace

void VelInputScript::registerVerb(const std::string &name, Verb verb)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.verbs[name] = std::move(verb);
}

bool VelInputScript::hasVerb(const std::string &name)
{
    return static_cast<bool>(findVerb(name));
}

std::vector<std::string> VelInputScript::verbNames()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::vector<std::string> names;
    for (const auto &entry : r.verbs)
        names.push_back(entry.first);
    return names;
}

bool VelInputScript::parseLine(const std::string &line, const std::string &source, int number,
                               Step *step, bool *isStep, std::string *error) const
{
    *isStep = false;
    const size_t start = skipBlanks(line, 0);
    if (start >= line.size() || line[start] == '#' || line[start] == '\r')
        return true;
    size_t verbEnd = start;
    while (verbEnd < line.size() && !isBlank(line[verbEnd]) && line[verbEnd] != '\r')
        ++verbEnd;
    Step parsed;
    parsed.source = source;
    parsed.line = number;
    parsed.verb = line.substr(start, verbEnd - start);
    parsed.written = trimmedRight(line.substr(start));
    auto fail = [&](const std::string &reason) {
        *error = source + ":" + std::to_string(number) + ": " + reason;
        return false;
    };
    if (!hasVerb(parsed.verb))
        return fail("unknown verb '" + parsed.verb + "'");
    const size_t restStart = skipBlanks(line, verbEnd);
    if (restStart < line.size() && line[restStart] == '"') {
        std::string reason;
        if (!quotedRest(line, restStart, &parsed.text, &reason))
            return fail(reason);
    } else {
        parsed.text = plainRest(line, restStart);
    }
    parsed.words = splitWords(parsed.text);
    *step = parsed;
    *isStep = true;
    return true;
}

bool VelInputScript::addText(const std::string &text, const std::string &source, std::string *error)
{
    std::vector<Step> added;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        Step step;
        bool isStep = false;
        if (!parseLine(line, source, number, &step, &isStep, error))
            return false;
        if (isStep)
            added.push_back(step);
    }
    m_steps.insert(m_steps.end(), added.begin(), added.end());
    return true;
}

bool VelInputScript::addFile(const std::string &path, std::string *error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the script " + path;
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return addText(content.str(), path, error);
}

bool VelInputScript::addStep(const std::string &step, std::string *error)
{
    if (step.find('\n') != std::string::npos) {
        *error = "--step takes one step, not several lines";
        return false;
    }
    Step parsed;
    bool isStep = false;
    if (!parseLine(step, "--step", m_optionSteps + 1, &parsed, &isStep, error))
        return false;
    if (!isStep) {
        *error = "--step " + std::to_string(m_optionSteps + 1) + " is empty";
        return false;
    }
    ++m_optionSteps;
    m_steps.push_back(parsed);
    return true;
}

bool VelInputScript::run(Host &host, std::string *error) const
{
    for (const Step &step : m_steps) {
        const Verb verb = findVerb(step.verb);
        std::string reason;
        if (!verb) {
            *error = location(step) + ": " + step.written + ": the verb is no longer registered";
            return false;
        }
        if (!verb(host, step, &reason)) {
            *error = location(step) + ": " + step.written + ": " + reason;
            return false;
        }
        host.stepDone(step);
    }
    return true;
}

bool VelInputScript::argumentCount(const Step &step, size_t minimum, size_t maximum,
                                   std::string *error)
{
    const size_t n = step.words.size();
    if (n >= minimum && n <= maximum)
        return true;
    if (minimum == maximum)
        *error = "wants " + std::to_string(minimum) + " argument(s), not " + std::to_string(n);
    else
        *error = "wants " + std::to_string(minimum) + " to " + std::to_string(maximum) +
                 " arguments, not " + std::to_string(n);
    return false;
}

bool VelInputScript::intArgument(const Step &step, size_t index, long minimum, long maximum,
                                 long *out, std::string *error)
{
    if (index >= step.words.size()) {
        *error = "argument " + std::to_string(index + 1) + " is missing";
        return false;
    }
    const std::string &word = step.words[index];
    char *end = nullptr;
    errno = 0;
    const long value = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || errno != 0 || *end != '\0' || value < minimum || value > maximum) {
        *error = "argument " + std::to_string(index + 1) + " wants a whole number from " +
                 std::to_string(minimum) + " to " + std::to_string(maximum) + ", not '" + word +
                 "'";
        return false;
    }
    *out = value;
    return true;
}

#ifndef VELINPUTSCRIPT_H
#define VELINPUTSCRIPT_H

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class VelAndroidDriver;

// A script of user input for the launcher (--script FILE, --step "STEP"):
// one step a line, a verb and its arguments separated by blanks. Blank lines
// are skipped; a word that begins with '#' starts a comment that runs to the
// end of the line ("type C#" types "C#", "tap 1 2 # ok" is "tap 1 2").
// A step's text is everything after the verb; written in double quotes it
// keeps its blanks and '#' and knows the escapes \" \\ \n \t.
//
// Verbs live in a process-wide registry: each area registers its own from a
// file of its own (registerVerb), before the script is read, so that a
// misspelt verb is refused before the app starts. Steps run in order on the
// launcher's UI thread (the thread that also sends the window's input) once
// the app has shown its first frame; the first step that fails ends the run
// with "SOURCE:LINE: STEP: reason".
class VelInputScript
{
public:
    struct Step {
        std::string source; // the script file, or "--step"
        int line = 0;       // 1-based line in the file; the position among the --step options
        std::string verb;
        std::string text;               // everything after the verb, unquoted
        std::vector<std::string> words; // the text split at blanks (quotes not special)
        std::string written;            // the step as written, for messages
    };

    // What the launcher lends the verbs while a script runs. Every call is
    // made on the launcher's UI thread.
    class Host
    {
    public:
        virtual ~Host() = default;
        virtual VelAndroidDriver &driver() = 0;
        virtual int surfaceWidth() const = 0;
        virtual int surfaceHeight() const = 0;
        // Waits about that long while the launcher keeps serving its window
        // and notices the app's end; false when the app has ended meanwhile.
        virtual bool idle(std::chrono::milliseconds duration) = 0;
        // Writes the surface as PNG once what the app shows has settled.
        virtual bool screenshot(const std::string &path, std::string *error) = 0;
        // Told after each step that was carried out, so that the host knows
        // when the last input was sent.
        virtual void stepDone(const Step &) {}
    };

    // A verb answers false with a reason for a step it cannot carry out.
    using Verb = std::function<bool(Host &host, const Step &step, std::string *error)>;

    // Registers (or replaces) the verb of that name.
    static void registerVerb(const std::string &name, Verb verb);
    static bool hasVerb(const std::string &name);
    static std::vector<std::string> verbNames();

    // Adds the steps of a script file / of one --step option / of a text.
    // False with a reason for a file that cannot be read, a malformed line or
    // a verb nobody registered; nothing is added then.
    bool addFile(const std::string &path, std::string *error);
    bool addStep(const std::string &step, std::string *error);
    bool addText(const std::string &text, const std::string &source, std::string *error);

    const std::vector<Step> &steps() const { return m_steps; }
    bool empty() const { return m_steps.empty(); }

    // Runs every step in order; stops at the first failure.
    bool run(Host &host, std::string *error) const;

    // For verbs: argument `index` of the step as a whole number within the
    // bounds, or a reason naming the argument.
    static bool intArgument(const Step &step, size_t index, long minimum, long maximum, long *out,
                            std::string *error);
    static bool argumentCount(const Step &step, size_t minimum, size_t maximum, std::string *error);

private:
    bool parseLine(const std::string &line, const std::string &source, int number, Step *step,
                   bool *isStep, std::string *error) const;

    std::vector<Step> m_steps;
    int m_optionSteps = 0;
};

#endif

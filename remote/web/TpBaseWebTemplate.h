// Template machinery of the HTML reports: copies a template file to an output
// file and replaces every token ("<#NAME param=value ...>") by the text the
// derived class gives for it. A token lies within one line of the template;
// lines are handled in chunks of at most 999 characters.
#pragma once

#include "core/files/AtomicOutFile.h"

#include <string>
#include <utility>
#include <vector>

class TpBaseWebTemplate {
public:
    TpBaseWebTemplate() = default;
    virtual ~TpBaseWebTemplate() = default;
    TpBaseWebTemplate(const TpBaseWebTemplate&) = delete;
    TpBaseWebTemplate& operator=(const TpBaseWebTemplate&) = delete;

    // Expands the template into the output file. False when the template
    // cannot be read or the output cannot be written.
    bool Create(const std::string& templatePath, const std::string& outputPath);

    // Value of the current token's first parameter called name (any case);
    // empty when there is none.
    std::string GetParam(const std::string& name) const;

    // True when a and b are the same text regardless of case.
    static bool SameText(const std::string& a, const std::string& b);

    // The longest chunk of a line handled at once.
    static constexpr size_t kMaxChunk = 999;

protected:
    // Writes the text of one token (its parameters are in the list).
    virtual void HandleToken(const std::string& name) = 0;

    // Writes text to the output as it stands.
    void Write(const std::string& text) { out_.Write(text); }

    void AddParam(const std::string& name, const std::string& value);
    void ClearParams() { params_.clear(); }

private:
    void ProcessFile(const std::string& bytes);
    void ProcessLine(const std::string& line);
    // hash is the position of the '#' of "<#"; returns the position after the
    // token (the line's length when the rest of the line is not to be copied).
    size_t ParseToken(const std::string& line, size_t hash);

    std::vector<std::pair<std::string, std::string>> params_;
    AtomicOutFile out_;
};

#include "vexil/encoding/encoder.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "vexil/frame/alphabets.h"
#include "vexil/frame/messages.h"
#include "vexil/frame/module_state.h"
#include "vexil/files/checked_file.h"
#include "vexil/encoding/chunk_encoder.h"
#include "vexil/encoding/existing_output_question.h"
#include "vexil/encoding/output_path.h"
#include "platform/platform.h"
#include "vexil/encoding/progress.h"
#include "vexil/encoding/section_plan.h"

namespace vexil {

namespace {

// Thrown inside the encoder when the source ends before the length it had
// when it was opened.
constexpr FileFailure kFailSourceShrank = 4;

// One run of EncodeFile from the output's resolution to the trailer. Every
// way out returns to EncodeFile, which does the leaving steps.
class Encoding {
public:
    Encoding(const std::string& sourcePath, const std::string& target, bool exactOutput,
             const EncodeSettings& settings, EncodeJobState& job)
        : sourcePath_(sourcePath),
          target_(target),
          exactOutput_(exactOutput),
          settings_(settings),
          job_(job),
          source_(job),
          output_(job) {}

    bool Run();

private:
    // kStopped: an abort was confirmed, or a section file was refused.
    enum class Ending { kDone, kStopped };

    // False (after telling the user) when `path` is the source itself; a
    // path too long to be opened fails through the open question.
    bool Acceptable(const std::string& path);
    enum class Existing { kNone, kStop, kReplaced, kAppend };
    // Asks what to do when `path` exists: kStop when the file ends here
    // (Skip, or Cancel, which also cancels the job); a replaced file has
    // been removed.
    Existing SettleExisting(const std::string& path);
    bool PrepareOutput();
    // Makes `path` the file in hand: created afresh, or appended to.
    void OpenOutput(const std::string& path, bool append);
    Ending EncodeBody(uint64_t length);
    bool WriteLines(const EncodedLines& lines);
    bool StartSection();
    // The file of the next section; false when the encoding ends before it.
    bool NextSectionFile();
    void Write(const char* text, size_t length);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    char Code(unsigned value) const { return static_cast<char>(AlphabetChar(value, settings_.EncodingType)); }
    // Takes back what this call wrote into the open output: an existing file
    // is cut back to its earlier length, an output this call created is deleted.
    void Undo();

    const std::string& sourcePath_;
    const std::string& target_;
    const bool exactOutput_;         // target_ is the output path itself
    const EncodeSettings& settings_;
    EncodeJobState& job_;
    CheckedFile source_;
    CheckedFile output_;

    std::string outputPath_;
    std::string name_;               // NAME of the encoded text
    bool appends_ = false;           // output opened for appending
    bool ownSectionFiles_ = false;
    bool createdOutput_ = false;     // the file in hand was created by this call
    uint64_t lengthBefore_ = 0;      // length of an appended file before this call
    std::unique_ptr<SectionPlan> plan_;
    uint64_t linesWritten_ = 0;
};

void RefuseSourceAsOutput(const std::string& path) {
    const char* lines[4] = {GetMsgText(MPluginTitle), GetMsgText(MOutputIsSource), path.c_str(), GetMsgText(MOk)};
    const host::HostStartupInfo& h = Module().host;
    if (h.message) h.message(h.moduleNumber, host::kMsgWarning, nullptr, lines, 4, 1);
}

bool Encoding::Acceptable(const std::string& path) {
    // Never written under a cut-off name: the open question ends the file.
    if (path.size() > kMaxOutputPath) {
        output_.RefuseOpen(path);
        return false;
    }
    // Replacing it would destroy the source, appending would read its own text.
    if (platform::os().SameFile(sourcePath_, path)) {
        RefuseSourceAsOutput(path);
        return false;
    }
    return true;
}

Encoding::Existing Encoding::SettleExisting(const std::string& path) {
    platform::FileInfo info;
    if (!platform::os().FindFile(path, &info)) return Existing::kNone;
    switch (AskAboutExistingOutput(sourcePath_, path, name_)) {
        case ExistingOutputAnswer::kSkip:
            return Existing::kStop;
        case ExistingOutputAnswer::kCancel:
            job_.cancelled = 1;
            return Existing::kStop;
        case ExistingOutputAnswer::kReplace:
            output_.RemoveFile(path);
            return Existing::kReplaced;
        case ExistingOutputAnswer::kAppend:
            return Existing::kAppend;
    }
    return Existing::kStop;
}

bool Encoding::PrepareOutput() {
    if (!Acceptable(outputPath_)) return false;
    if (!job_.appendToTarget) {
        const Existing existing = SettleExisting(outputPath_);
        if (existing == Existing::kStop) return false;
        // A replaced output is created afresh through append mode.
        if (existing != Existing::kNone) job_.appending = 1;
    }
    appends_ = job_.appendToTarget || job_.appending;
    ownSectionFiles_ = settings_.EnableSingleStorage == 0 && !appends_;
    return true;
}

void Encoding::OpenOutput(const std::string& path, bool append) {
    platform::FileInfo info;
    const bool existed = append && platform::os().FindFile(path, &info);
    output_.Open(path, append ? "ab" : "wb");
    lengthBefore_ = append ? output_.Length() : 0;
    createdOutput_ = !existed && lengthBefore_ == 0;
}

void Encoding::Write(const char* text, size_t length) {
    uint64_t written;
    output_.Write(text, length, &written);
}

bool Encoding::NextSectionFile() {
    const std::string path = platform::os().ExistingSpelling(NextSectionPath(outputPath_));
    if (!Acceptable(path)) return false;
    const Existing existing = SettleExisting(path);
    if (existing == Existing::kStop) return false;
    Write("\r\n", 2);
    output_.Close();
    outputPath_ = path;
    OpenOutput(outputPath_, existing == Existing::kAppend);
    return true;
}

bool Encoding::StartSection() {
    plan_->Start();
    const uint64_t number = plan_->Started();
    // The first section's own file is the output already created for it.
    if (ownSectionFiles_ && number > 1) {
        if (!NextSectionFile()) return false;
    } else if (!ownSectionFiles_) {
        Write("\r\n", 2);
    }
    Write("\r\nsection " + std::to_string(number) + " of " + std::to_string(plan_->Total()) + " of file " + name_ +
          " (encoded by VEXIL 0.2b for FAR)\r\n");
    if (number != 1) return true;
    if (settings_.CharacterTable) {
        std::string table = "table\r\n";
        for (unsigned v = 0; v < 64; ++v) {
            table += Code(v);
            if (v == 31 || v == 63) table += "\r\n";
        }
        Write(table);
    }
    Write("VEXILAttr 0000000000000000\r\nbegin 644 " + name_ + "\r\n");
    return true;
}

bool Encoding::WriteLines(const EncodedLines& lines) {
    // Runs of lines between section starts go out in one write each.
    size_t i = 0;
    while (i < lines.Count()) {
        if (linesWritten_ + 1 == plan_->NextStart() && !StartSection()) return false;
        const uint64_t room = plan_->NextStart() - (linesWritten_ + 1);
        const size_t end = room < lines.Count() - i ? i + static_cast<size_t>(room) : lines.Count();
        const std::string_view run = lines.Run(i, end);
        Write(run.data(), run.size());
        linesWritten_ += end - i;
        i = end;
    }
    return true;
}

Encoding::Ending Encoding::EncodeBody(uint64_t length) {
    plan_ = std::make_unique<SectionPlan>(length, settings_);
    if (length == 0 && !StartSection()) return Ending::kStopped;

    const uint64_t step = length / 10;
    uint64_t mark = 0;
    uint64_t done = 0;
    // Slack behind the chunk for the vector encoder's reads past a line.
    std::vector<unsigned char> buffer(kChunkSize + 64);
    EncodedLines lines;
    while (done < length) {
        // Only the length found at the start is encoded: the section count
        // written into the text was fixed from it.
        const uint64_t wanted = std::min<uint64_t>(kChunkSize, length - done);
        uint64_t got = 0;
        source_.Read(buffer.data(), wanted, &got);
        if (got != wanted) throw FileFailure{kFailSourceShrank};
        EncodeChunk(buffer.data(), static_cast<size_t>(got), settings_.EncodingType, lines);
        done += got;

        bool stop = CheckAbortKey(0, false) == kAbortStop;
        if (!stop && done > mark) {
            const int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(length));
            stop = CheckAbortKey(percent, true) == kAbortStop;
            mark += step;
        }
        if (stop) {
            job_.cancelled = 1;  // the question asks whether to stop the whole job
            return Ending::kStopped;
        }
        if (!WriteLines(lines)) return Ending::kStopped;
    }
    const char trailer[] = {Code(0), '\r', '\n', 'e', 'n', 'd', '\r', '\n', '\r', '\n'};
    Write(trailer, sizeof trailer);
    return Ending::kDone;
}

void Encoding::Undo() {
    if (!output_.IsOpen()) return;
    if (createdOutput_) {
        output_.Delete();
    } else {
        output_.Truncate(lengthBefore_);
    }
}

bool Encoding::Run() {
    source_.EndFileOnEscape();
    output_.EndFileOnEscape();
    try {
        outputPath_ = exactOutput_ ? platform::os().ExistingSpelling(target_)
                                   : ResolveOutputPath(sourcePath_, target_, settings_);
        name_ = EncodedName(sourcePath_);
        if (!PrepareOutput()) return false;
        // The source opens before any output exists, so a source that
        // cannot be read leaves nothing behind.
        source_.Open(sourcePath_, "rb");
        if (!source_.IsOpen()) return false;
        const uint64_t length = source_.Length();
        OpenOutput(outputPath_, appends_);
        if (!output_.IsOpen()) return false;
        if (EncodeBody(length) == Ending::kStopped) {
            Undo();
            return false;
        }
        source_.Close();
        output_.Close();
        job_.completed = 1;
        return true;
    } catch (FileFailure failure) {
        // A failed file leaves the user's files as they were, whatever the
        // answer (Skip, Cancel, Esc) or the cause: an existing output gets back
        // its earlier content, a new one is deleted.
        try {
            Undo();
        } catch (FileFailure) {
        }
        return false;
    }
}

}  // namespace

namespace {

bool Encode(const std::string& sourcePath, const std::string& target, bool exactOutput,
            const EncodeSettings& settings, EncodeJobState& job) {
    const bool encoded = Encoding(sourcePath, target, exactOutput, settings, job).Run();
    if (settings.SuppressOutput == 0 && job.cancelled == 0) ShowEncodeProgress(nullptr, nullptr, 0, 100);
    job.appending = 0;
    return encoded;
}

}  // namespace

bool EncodeFile(const std::string& sourcePath, const std::string& target, const EncodeSettings& settings,
                EncodeJobState& job) {
    return Encode(sourcePath, target, false, settings, job);
}

bool EncodeFileInto(const std::string& sourcePath, const std::string& outputPath, const EncodeSettings& settings,
                    EncodeJobState& job) {
    return Encode(sourcePath, outputPath, true, settings, job);
}

}  // namespace vexil

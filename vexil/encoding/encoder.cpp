#include "vexil/encoding/encoder.h"

#include <memory>
#include <vector>

#include "vexil/frame/alphabets.h"
#include "vexil/files/checked_file.h"
#include "vexil/encoding/chunk_encoder.h"
#include "vexil/encoding/existing_output_question.h"
#include "vexil/encoding/output_path.h"
#include "platform/platform.h"
#include "vexil/encoding/progress.h"
#include "vexil/encoding/section_plan.h"

namespace vexil {

namespace {

// One run of EncodeFile from the output's resolution to the trailer. Every
// way out returns to EncodeFile, which does the leaving steps.
class Encoding {
public:
    Encoding(const std::string& sourcePath, const std::string& target, const EncodeSettings& settings,
             EncodeJobState& job)
        : sourcePath_(sourcePath), target_(target), settings_(settings), job_(job), source_(job), output_(job) {}

    bool Run();

private:
    enum class Ending { kDone, kAborted };

    bool PrepareOutput();
    Ending EncodeBody(uint64_t length);
    void WriteLines(const EncodedLines& lines);
    void StartSection();
    void Write(const char* text, size_t length);
    void Write(const std::string& text) { Write(text.data(), text.size()); }
    char Code(unsigned value) const { return static_cast<char>(AlphabetChar(value, settings_.EncodingType)); }
    // Takes back what this call wrote into an existing file; deletes an
    // output this call created when `deleteCreated` is set.
    void Undo(bool deleteCreated);

    const std::string& sourcePath_;
    const std::string& target_;
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

bool Encoding::PrepareOutput() {
    outputPath_ = ResolveOutputPath(sourcePath_, target_, settings_);
    name_ = EncodedName(sourcePath_);

    platform::FileInfo info;
    if (!job_.appendToTarget && platform::os().FindFile(outputPath_, &info)) {
        switch (AskAboutExistingOutput(sourcePath_, outputPath_, name_)) {
            case ExistingOutputAnswer::kSkip:
                return false;
            case ExistingOutputAnswer::kCancel:
                job_.cancelled = 1;
                return false;
            case ExistingOutputAnswer::kReplace:
                job_.appending = 1;
                platform::os().Remove(outputPath_);
                break;
            case ExistingOutputAnswer::kAppend:
                job_.appending = 1;
                break;
        }
    }
    appends_ = job_.appendToTarget || job_.appending;
    ownSectionFiles_ = settings_.EnableSingleStorage == 0 && !appends_;
    return true;
}

void Encoding::Write(const char* text, size_t length) {
    uint64_t written;
    output_.Write(text, length, &written);
}

void Encoding::StartSection() {
    plan_->Start();
    const uint64_t number = plan_->Started();
    // The first section's own file is the output already created for it.
    if (ownSectionFiles_ && number > 1) {
        Write("\r\n", 2);
        output_.Close();
        outputPath_ = NextSectionPath(outputPath_);
        createdOutput_ = true;
        output_.Open(outputPath_, "wb");
    } else if (!ownSectionFiles_) {
        Write("\r\n", 2);
    }
    Write("\r\nsection " + std::to_string(number) + " of " + std::to_string(plan_->Total()) + " of file " + name_ +
          " (encoded by VEXIL 0.2b for FAR)\r\n");
    if (number != 1) return;
    if (settings_.CharacterTable) {
        std::string table = "table\r\n";
        for (unsigned v = 0; v < 64; ++v) {
            table += Code(v);
            if (v == 31 || v == 63) table += "\r\n";
        }
        Write(table);
    }
    Write("VEXILAttr 0000000000000000\r\nbegin 644 " + name_ + "\r\n");
}

void Encoding::WriteLines(const EncodedLines& lines) {
    // Runs of lines between section starts go out in one write each.
    size_t i = 0;
    while (i < lines.Count()) {
        if (linesWritten_ + 1 == plan_->NextStart()) StartSection();
        const uint64_t room = plan_->NextStart() - (linesWritten_ + 1);
        const size_t end = room < lines.Count() - i ? i + static_cast<size_t>(room) : lines.Count();
        const std::string_view run = lines.Run(i, end);
        Write(run.data(), run.size());
        linesWritten_ += end - i;
        i = end;
    }
}

Encoding::Ending Encoding::EncodeBody(uint64_t length) {
    plan_ = std::make_unique<SectionPlan>(length, settings_);
    if (length == 0) StartSection();

    const uint64_t step = length / 10;
    uint64_t mark = 0;
    uint64_t done = 0;
    // Slack behind the chunk for the vector encoder's reads past a line.
    std::vector<unsigned char> buffer(kChunkSize + 64);
    EncodedLines lines;
    while (done < length) {
        uint64_t got = 0;
        source_.Read(buffer.data(), kChunkSize, &got);
        if (got == 0) break;  // the source shrank; end the text with what was there
        EncodeChunk(buffer.data(), static_cast<size_t>(got), settings_.EncodingType, lines);
        done += got;

        bool stop = CheckAbortKey(0, false) == kAbortStop;
        if (!stop && done > mark) {
            const int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(length));
            stop = CheckAbortKey(percent, true) == kAbortStop;
            mark += step;
        }
        if (stop) return Ending::kAborted;
        WriteLines(lines);
    }
    const char trailer[] = {Code(0), '\r', '\n', 'e', 'n', 'd', '\r', '\n', '\r', '\n'};
    Write(trailer, sizeof trailer);
    return Ending::kDone;
}

void Encoding::Undo(bool deleteCreated) {
    if (!output_.IsOpen()) return;
    if (createdOutput_) {
        if (deleteCreated) output_.Delete();
    } else {
        output_.Truncate(lengthBefore_);
    }
}

bool Encoding::Run() {
    if (!PrepareOutput()) return false;
    try {
        source_.Open(sourcePath_, "rb");
        platform::FileInfo info;
        const bool existed = appends_ && platform::os().FindFile(outputPath_, &info);
        output_.Open(outputPath_, appends_ ? "ab" : "wb");
        if (output_.IsOpen()) {
            lengthBefore_ = appends_ ? output_.Length() : 0;
            createdOutput_ = !existed && lengthBefore_ == 0;
        }
        const uint64_t length = source_.Length();
        if (EncodeBody(length) == Ending::kAborted) {
            Undo(true);
            return false;
        }
        source_.Close();
        output_.Close();
        job_.completed = 1;
        return true;
    } catch (FileFailure) {
        // A partly written new output stays; an existing file gets back its
        // earlier content.
        try {
            Undo(false);
        } catch (FileFailure) {
        }
        return false;
    }
}

}  // namespace

bool EncodeFile(const std::string& sourcePath, const std::string& target, const EncodeSettings& settings,
                EncodeJobState& job) {
    const bool encoded = Encoding(sourcePath, target, settings, job).Run();
    if (settings.SuppressOutput == 0 && job.cancelled == 0) ShowEncodeProgress(nullptr, nullptr, 0, 100);
    job.appending = 0;
    return encoded;
}

}  // namespace vexil

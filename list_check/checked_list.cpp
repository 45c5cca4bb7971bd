#include "checked_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "data_file.h"
#include "output.h"
#include "platform.h"
#include "sure_fix.h"
#include "text_encoding.h"

namespace korvallestin {

namespace {

constexpr std::uint8_t kNoVerdict = 0xFF;
// Rows shown to a person picking the columns.
constexpr std::size_t kPreviewRows = 20;

// A file's bytes, counted as they are read, for the progress.
class CountingSource final : public ByteSource {
  public:
    explicit CountingSource(ReadOnlyFile& file) : file_(file) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const std::ptrdiff_t n = file_.Read(buffer, size);
        if (n > 0) {
            read_ += static_cast<std::uint64_t>(n);
        }
        return n;
    }
    std::string Error() const override { return file_.Error(); }
    std::uint64_t BytesRead() const { return read_; }

  private:
    ReadOnlyFile& file_;
    std::uint64_t read_ = 0;
};

std::string OpenFailure(const std::string& path, const ReadOnlyFile& file,
                        ReadOnlyFile::Status status) {
    return "Cannot open the list " + path + ": " + DescribeOpenFailure(status, file);
}

const std::string& CellOf(const std::vector<std::string>& fields, const ListColumn& column) {
    static const std::string kEmpty;
    const auto i = static_cast<std::size_t>(column.index);
    return column.index >= 0 && i < fields.size() ? fields[i] : kEmpty;
}

}  // namespace

struct CheckedList::State {
    explicit State(const LocalityIndex& locality_index) : index(locality_index) {}

    // What a row holds at one moment: its fields (joined by NUL bytes, which
    // no field holds) in the arena, its verdict and its suggestion.
    struct RowState {
        std::uint64_t offset = 0;
        std::uint32_t size = 0;
        std::uint8_t verdict = kNoVerdict;
        std::uint32_t note = 0;
    };
    // One step of Undo: the rows it touched, as they were and became.
    struct Change {
        std::vector<std::size_t> rows;
        std::vector<RowState> before;
        std::vector<RowState> after;
    };

    const LocalityIndex& index;
    CheckOptions options;
    std::string path;
    ReadOnlyFile file;
    std::unique_ptr<CountingSource> source;
    std::unique_ptr<ListCheck> check;
    std::uint64_t file_size = 0;
    LoadState load = LoadState::Done;
    bool started = false;
    bool found_by_headings = false;
    std::string question;
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> preview;
    CheckCounts counts;
    std::size_t widest = 0;  // the widest row, blank ones aside

    std::string arena;
    std::vector<std::uint64_t> offsets;
    std::vector<std::uint32_t> sizes;
    std::vector<long> lines;
    std::vector<std::uint8_t> verdicts;
    std::vector<std::uint32_t> notes;  // 0: none
    std::string note_arena;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> note_spans{{0, 0}};
    // Cells read as UTF-8 that are other text if the list is Windows-1252.
    std::vector<std::pair<std::size_t, std::size_t>> utf8_cells;

    std::vector<Change> history;
    std::size_t applied = 0;  // the changes of history in effect
    std::optional<std::size_t> saved_at = 0;
    std::vector<std::size_t> changed_rows;
    std::unordered_map<std::size_t, RowState> original;  // rows changed, as loaded

    const ListColumns& Columns() const {
        static const ListColumns kNone;
        return check ? check->Columns() : kNone;
    }

    std::string_view Text(const RowState& row) const {
        return std::string_view(arena).substr(row.offset, row.size);
    }
    RowState Current(std::size_t row) const {
        return {offsets[row], sizes[row], verdicts[row], notes[row]};
    }
    static std::vector<std::string> Split(std::string_view text) {
        std::vector<std::string> fields;
        for (;;) {
            const std::size_t end = text.find('\0');
            fields.emplace_back(text.substr(0, end));
            if (end == std::string_view::npos) {
                return fields;
            }
            text.remove_prefix(end + 1);
        }
    }
    std::vector<std::string> Fields(std::size_t row) const { return Split(Text(Current(row))); }

    std::uint32_t AddNote(std::string_view note) {
        if (note.empty()) {
            return 0;
        }
        note_spans.emplace_back(note_arena.size(), static_cast<std::uint32_t>(note.size()));
        note_arena.append(note);
        return static_cast<std::uint32_t>(note_spans.size() - 1);
    }
    RowState Store(const std::vector<std::string>& fields, std::uint8_t verdict,
                   std::string_view note) {
        RowState state;
        state.offset = arena.size();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                arena += '\0';
            }
            arena += fields[i];
        }
        state.size = static_cast<std::uint32_t>(arena.size() - state.offset);
        state.verdict = verdict;
        state.note = AddNote(note);
        if (verdict != kNoVerdict) {
            widest = std::max(widest, fields.size());
        }
        return state;
    }
    void Append(const std::vector<std::string>& fields, long line, std::uint8_t verdict,
                std::string_view note) {
        const RowState state = Store(fields, verdict, note);
        offsets.push_back(state.offset);
        sizes.push_back(state.size);
        verdicts.push_back(state.verdict);
        notes.push_back(state.note);
        lines.push_back(line);
    }

    void Count(std::uint8_t verdict, int by) {
        const auto add = [by](std::size_t& n) { n = by > 0 ? n + 1 : n - 1; };
        if (verdict == kNoVerdict) {
            add(counts.blank_rows);
        } else {
            add(counts.rows);
            add(counts.verdicts[verdict]);
        }
    }
    void Put(std::size_t row, const RowState& state) {
        Count(verdicts[row], -1);
        Count(state.verdict, 1);
        offsets[row] = state.offset;
        sizes[row] = state.size;
        verdicts[row] = state.verdict;
        notes[row] = state.note;
    }

    // The row's fields checked as the list's own check would.
    RowState Loaded(const std::vector<std::string>& fields) {
        if (IsBlankRow(fields)) {
            return Store(fields, kNoVerdict, {});
        }
        const RowCheck row = CheckFields(index, Columns(), fields);
        return Store(fields, static_cast<std::uint8_t>(row.result.verdict), row.suggestion);
    }
    // The row's fields after a change here: checked again, and when that
    // makes them right, fixed, with what was there when the list was read.
    // A sure fix is known to make the row right, and is not checked again.
    RowState Changed(std::size_t row, const std::vector<std::string>& fields, bool sure) {
        if (IsBlankRow(fields)) {
            return Store(fields, kNoVerdict, {});
        }
        if (!sure) {
            const RowCheck checked = CheckFields(index, Columns(), fields);
            if (checked.result.verdict != Verdict::Ok) {
                return Store(fields, static_cast<std::uint8_t>(checked.result.verdict),
                             checked.suggestion);
            }
        }
        const auto found = original.find(row);
        const RowState was = found != original.end() ? found->second : Current(row);
        const std::string note = was.verdict == kNoVerdict ? std::string() : [&] {
            const std::vector<std::string> before = Split(Text(was));
            const ListColumns& c = Columns();
            return ChangesNote(CellOf(before, c.postcode), CellOf(before, c.locality),
                               CellOf(before, c.state), CellOf(fields, c.postcode),
                               CellOf(fields, c.locality), CellOf(fields, c.state));
        }();
        return Store(fields, static_cast<std::uint8_t>(note.empty() ? Verdict::Ok : Verdict::Fixed),
                     note);
    }

    // Only a list read whole is changed (and saved): a copy of part of it
    // would lose the rest.
    bool Changeable(std::size_t row) const {
        return row < offsets.size() && load == LoadState::Done &&
               Text(Current(row)) != ListReader::kEndMark;
    }
    // Makes one step of Undo of the rows' new fields.
    void Make(const std::vector<std::pair<std::size_t, std::vector<std::string>>>& rows,
              bool sure = false) {
        Change change;
        for (const auto& [row, fields] : rows) {
            original.emplace(row, Current(row));
            change.rows.push_back(row);
            change.before.push_back(Current(row));
            change.after.push_back(Changed(row, fields, sure));
        }
        history.resize(applied);
        if (saved_at && *saved_at > applied) {
            saved_at.reset();  // the state saved can no longer come back
        }
        for (std::size_t i = 0; i < change.rows.size(); ++i) {
            Put(change.rows[i], change.after[i]);
        }
        changed_rows = change.rows;
        history.push_back(std::move(change));
        ++applied;
        if (headings.size() < ColumnCount()) {
            UpdateHeadings();
        }
    }

    void UpdateHeadings() {
        headings = check ? check->Headings() : std::vector<std::string>();
        const std::size_t width = ColumnCount();
        for (std::size_t i = headings.size(); i < width; ++i) {
            headings.push_back("column " + std::to_string(i + 1));
        }
    }
    std::size_t ColumnCount() const {
        std::size_t width = std::max(widest, check ? check->HeaderWidth() : 0);
        if (load == LoadState::NeedColumns) {
            for (const std::vector<std::string>& row : preview) {
                width = std::max(width, row.size());
            }
        }
        return width;
    }

    // The first rows, read apart from the check, for a person to pick the
    // columns by.
    void ReadPreview() {
        ReadOnlyFile again;
        if (again.Open(path) != ReadOnlyFile::Status::Opened) {
            return;
        }
        FileSource bytes(again);
        ListReader reader(bytes);
        reader.SetDelimiter(options.delimiter);
        reader.SetHeaderLine(options.header_line);
        std::vector<std::string> fields;
        if (!options.no_header && !reader.ReadHeader(fields)) {
            return;
        }
        while (preview.size() < kPreviewRows && reader.ReadRow(fields)) {
            if (!IsBlankRow(fields)) {
                preview.push_back(fields);
            }
        }
    }

    // When the list turned out not to be UTF-8, what was read as UTF-8 is
    // read again as Windows-1252, as a list measured first would have been,
    // and those rows checked again.
    void Reread() {
        if (!check->SawNonUtf8()) {
            return;
        }
        check->RereadHeadAsWindows1252();
        for (std::size_t i = 0; i < utf8_cells.size();) {
            const std::size_t row = utf8_cells[i].first;
            std::vector<std::string> fields = Fields(row);
            for (; i < utf8_cells.size() && utf8_cells[i].first == row; ++i) {
                if (utf8_cells[i].second >= fields.size()) {
                    continue;
                }
                std::string& field = fields[utf8_cells[i].second];
                const std::string bytes = std::move(field);
                field.clear();
                AppendWindows1252AsUtf8(bytes, field);
            }
            Put(row, Loaded(fields));
        }
        utf8_cells = {};
    }

    // Keeps each row checked, for the list held whole.
    class Sink final : public RowSink {
      public:
        explicit Sink(State& state) : state_(state) {}
        bool CheckedRow(const std::vector<std::string>& fields, long line, Verdict verdict,
                        std::string_view suggestion) override {
            for (const std::size_t i : state_.check->Utf8Fields()) {
                state_.utf8_cells.emplace_back(state_.offsets.size(), i);
            }
            state_.Append(fields, line, static_cast<std::uint8_t>(verdict), suggestion);
            return true;
        }
        bool BlankRow(const std::vector<std::string>& fields, long line) override {
            state_.Append(fields, line, kNoVerdict, {});
            return true;
        }

      private:
        State& state_;
    };

    void EndLoad(LoadState end) {
        load = end;
        counts = check->Counts();
        Reread();
        UpdateHeadings();
        file.Close();
    }
};

CheckedList::CheckedList(const LocalityIndex& index) : state_(std::make_unique<State>(index)) {}

CheckedList::~CheckedList() = default;

void CheckedList::SetOptions(const CheckOptions& options) {
    state_->options = options;
    state_->options.fix = false;
    state_->options.problems_only = false;
    state_->options.encoding = ListOutputEncoding::Same;
}

bool CheckedList::Open(const std::string& path, std::string& error) {
    const CheckOptions options = state_->options;
    state_ = std::make_unique<State>(state_->index);
    State& s = *state_;
    s.options = options;
    s.path = path;
    const ReadOnlyFile::Status status = s.file.Open(path);
    if (status != ReadOnlyFile::Status::Opened) {
        error = OpenFailure(path, s.file, status);
        return false;
    }
    std::error_code ec;
    s.file_size = std::filesystem::file_size(PathFromUtf8(path), ec);
    if (ec) {
        s.file_size = 0;
    }
    // The fields take about the list's own bytes; room for them at once
    // spares copying the arena as it grows.
    s.arena.reserve(static_cast<std::size_t>(s.file_size + s.file_size / 8));
    s.source = std::make_unique<CountingSource>(s.file);
    s.check = std::make_unique<ListCheck>(s.index, s.options);
    s.load = LoadState::More;
    return true;
}

CheckedList::LoadState CheckedList::Load(std::size_t rows) {
    State& s = *state_;
    if (s.load != LoadState::More) {
        return s.load;
    }
    if (!s.started) {
        s.started = true;
        if (!s.check->FindColumns(*s.source)) {
            if (s.check->ListFailed().kind != ListFailure::Kind::None) {
                s.EndLoad(LoadState::Failed);
                return s.load;
            }
            // The console's sentence, without its advice about options.
            s.question = s.check->ColumnError();
            const std::size_t advice = s.question.find(" Name the");
            if (advice != std::string::npos) {
                s.question.resize(advice);
            }
            s.load = LoadState::NeedColumns;
            s.ReadPreview();
            s.UpdateHeadings();
            return s.load;
        }
        s.found_by_headings = true;
    }
    State::Sink sink(s);
    const bool more = s.check->CheckRows(std::max<std::size_t>(rows, 1), sink);
    s.counts = s.check->Counts();
    if (!more) {
        s.EndLoad(s.check->ListFailed().kind != ListFailure::Kind::None ? LoadState::Failed
                                                                        : LoadState::Done);
    } else if (s.headings.size() < s.ColumnCount()) {
        s.UpdateHeadings();
    }
    return s.load;
}

void CheckedList::Cancel() {
    State& s = *state_;
    if (s.check && (s.load == LoadState::More || s.load == LoadState::NeedColumns)) {
        s.check->Cancel();
        s.EndLoad(LoadState::Cancelled);
    }
}

double CheckedList::LoadedFraction() const {
    const State& s = *state_;
    if (s.load != LoadState::More && s.load != LoadState::NeedColumns) {
        return 1.0;
    }
    if (s.file_size == 0 || !s.source) {
        return 0.0;
    }
    return std::min(1.0,
                    static_cast<double>(s.source->BytesRead()) / static_cast<double>(s.file_size));
}

const std::vector<std::string>& CheckedList::Headings() const {
    return state_->headings;
}

std::vector<std::vector<std::string>> CheckedList::FirstRows(std::size_t count) const {
    const State& s = *state_;
    std::vector<std::vector<std::string>> rows;
    if (s.offsets.empty()) {
        rows.assign(s.preview.begin(), s.preview.begin() + static_cast<std::ptrdiff_t>(
                                                               std::min(count, s.preview.size())));
        return rows;
    }
    for (std::size_t row = 0; row < s.offsets.size() && rows.size() < count; ++row) {
        if (s.verdicts[row] != kNoVerdict) {
            rows.push_back(s.Fields(row));
        }
    }
    return rows;
}

const std::string& CheckedList::ColumnQuestion() const {
    return state_->question;
}

bool CheckedList::SetColumns(int postcode, int locality, int state, std::string& error) {
    State& s = *state_;
    if (s.load != LoadState::NeedColumns) {
        error = "The columns cannot be changed once the list is being checked.";
        return false;
    }
    const auto width = static_cast<int>(s.ColumnCount());
    for (const auto& [name, index] : {std::pair{"postcode", postcode},
                                      std::pair{"locality", locality}, std::pair{"state", state}}) {
        if (index < 0 || index >= width) {
            error = std::string("Pick the column that holds the ") + name + ".";
            return false;
        }
    }
    if (postcode == locality || postcode == state || locality == state) {
        error = "The postcode, locality and state must be three different columns.";
        return false;
    }
    ListColumns columns;
    const std::vector<std::string>& names = s.check->Headings();
    for (const auto& [column, index] :
         {std::pair{&columns.postcode, postcode}, std::pair{&columns.locality, locality},
          std::pair{&columns.state, state}}) {
        column->index = index;
        const auto i = static_cast<std::size_t>(index);
        column->heading = i < names.size() ? names[i] : std::string();
    }
    s.check->UseColumns(columns);
    s.preview = {};
    s.question.clear();
    s.load = LoadState::More;
    return true;
}

const ListColumns& CheckedList::Columns() const {
    return state_->Columns();
}

std::string CheckedList::ColumnsFoundText() const {
    if (!state_->found_by_headings) {
        return {};
    }
    std::string text = DescribeColumns(Columns());
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

const ListFailure& CheckedList::Failure() const {
    static const ListFailure kNone;
    return state_->check ? state_->check->ListFailed() : kNone;
}

std::string CheckedList::FailureText() const {
    const ListFailure& failure = Failure();
    return failure.kind == ListFailure::Kind::None ? std::string() : DescribeListFailure(failure);
}

std::size_t CheckedList::RowCount() const {
    return state_->offsets.size();
}

std::size_t CheckedList::ColumnCount() const {
    return state_->ColumnCount();
}

std::string_view CheckedList::Cell(std::size_t row, std::size_t column) const {
    const State& s = *state_;
    if (row >= s.offsets.size()) {
        return {};
    }
    std::string_view text = s.Text(s.Current(row));
    for (std::size_t i = 0; i < column; ++i) {
        const std::size_t end = text.find('\0');
        if (end == std::string_view::npos) {
            return {};
        }
        text.remove_prefix(end + 1);
    }
    return text.substr(0, text.find('\0'));
}

long CheckedList::Line(std::size_t row) const {
    return row < state_->lines.size() ? state_->lines[row] : 0;
}

std::optional<Verdict> CheckedList::RowVerdict(std::size_t row) const {
    if (row >= state_->verdicts.size() || state_->verdicts[row] == kNoVerdict) {
        return std::nullopt;
    }
    return static_cast<Verdict>(state_->verdicts[row]);
}

std::string CheckedList::SuggestionText(std::size_t row) const {
    const State& s = *state_;
    if (row >= s.notes.size()) {
        return {};
    }
    const auto& [offset, size] = s.note_spans[s.notes[row]];
    return s.note_arena.substr(offset, size);
}

std::vector<Place> CheckedList::Suggestions(std::size_t row) const {
    if (!IsProblem(row)) {
        return {};
    }
    const State& s = *state_;
    return CheckFields(s.index, s.Columns(), s.Fields(row)).result.suggestions;
}

bool CheckedList::IsProblem(std::size_t row) const {
    const std::optional<Verdict> verdict = RowVerdict(row);
    return verdict && *verdict != Verdict::Ok && *verdict != Verdict::Fixed;
}

const CheckCounts& CheckedList::Counts() const {
    return state_->counts;
}

std::string CheckedList::SummaryText() const {
    // The console's summary, without the time it took.
    std::string text = Summary(state_->counts, 0.0);
    const std::string_view timed = " checked in 0.00 s:";
    const std::size_t at = text.find(timed);
    if (at != std::string::npos) {
        text.replace(at, timed.size(), " checked:");
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

void CheckedList::ApplySuggestion(std::size_t row, const Place& place) {
    State& s = *state_;
    const ListColumns& c = s.Columns();
    if (!s.Changeable(row) || c.postcode.index < 0 || c.locality.index < 0 || c.state.index < 0) {
        return;
    }
    std::vector<std::string> fields = s.Fields(row);
    const auto needed =
        static_cast<std::size_t>(std::max({c.postcode.index, c.locality.index, c.state.index}));
    if (fields.size() <= needed) {
        fields.resize(needed + 1);
    }
    std::string& locality = fields[static_cast<std::size_t>(c.locality.index)];
    locality = RespelledLocality(locality, place.locality);
    fields[static_cast<std::size_t>(c.postcode.index)] = place.postcode;
    fields[static_cast<std::size_t>(c.state.index)] = place.state;
    s.Make({{row, std::move(fields)}});
}

std::size_t CheckedList::FixAllSure() {
    State& s = *state_;
    if (s.load != LoadState::Done) {
        return 0;
    }
    std::vector<std::pair<std::size_t, std::vector<std::string>>> fixed;
    for (std::size_t row = 0; row < s.offsets.size(); ++row) {
        if (!IsProblem(row)) {
            continue;
        }
        std::vector<std::string> fields = s.Fields(row);
        RowCheck checked = CheckFields(s.index, s.Columns(), fields);
        if (MakeSureFix(s.index, s.Columns(), fields, checked)) {
            fixed.emplace_back(row, std::move(fields));
        }
    }
    const std::size_t count = fixed.size();
    if (count > 0) {
        s.Make(fixed, true);
    }
    return count;
}

void CheckedList::SetCell(std::size_t row, std::size_t column, std::string text) {
    State& s = *state_;
    if (!s.Changeable(row) || column >= ListReader::kMaxFields) {
        return;
    }
    // A NUL byte is no text (and parts the cells where they are kept).
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    std::vector<std::string> fields = s.Fields(row);
    if (column >= fields.size()) {
        if (text.empty()) {
            return;
        }
        fields.resize(column + 1);
    }
    if (fields[column] == text) {
        return;
    }
    fields[column] = std::move(text);
    s.Make({{row, std::move(fields)}});
}

bool CheckedList::CanUndo() const {
    return state_->applied > 0;
}

bool CheckedList::CanRedo() const {
    return state_->applied < state_->history.size();
}

bool CheckedList::Undo() {
    State& s = *state_;
    if (!CanUndo()) {
        return false;
    }
    const State::Change& change = s.history[--s.applied];
    for (std::size_t i = change.rows.size(); i-- > 0;) {
        s.Put(change.rows[i], change.before[i]);
    }
    s.changed_rows = change.rows;
    return true;
}

bool CheckedList::Redo() {
    State& s = *state_;
    if (!CanRedo()) {
        return false;
    }
    const State::Change& change = s.history[s.applied++];
    for (std::size_t i = 0; i < change.rows.size(); ++i) {
        s.Put(change.rows[i], change.after[i]);
    }
    s.changed_rows = change.rows;
    return true;
}

const std::vector<std::size_t>& CheckedList::ChangedRows() const {
    return state_->changed_rows;
}

bool CheckedList::Modified() const {
    return state_->saved_at != state_->applied;
}

ListOutputEncoding CheckedList::Encoding() const {
    return state_->check ? state_->check->Encoding() : ListOutputEncoding::Utf8;
}

char CheckedList::Delimiter() const {
    return state_->check ? state_->check->Delimiter() : ',';
}

std::string_view CheckedList::LineEnd() const {
    return state_->check ? state_->check->LineEnd() : std::string_view("\r\n");
}

bool CheckedList::Save(const std::string& path, bool check_columns, std::string& error) {
    State& s = *state_;
    if (s.load != LoadState::Done) {
        error =
            "Only a list read to its end can be saved: a copy of part of it would lose the "
            "rest.";
        return false;
    }
    ReplacingFileOutput out;
    std::string why;
    if (!out.Open(path, why)) {
        error = "Cannot write " + path + ": " + why;
        return false;
    }
    ListFormat format = s.check->Format();
    format.check_columns = check_columns;
    // Where the check columns stand: after the widest row as it is now.
    std::size_t widest = 0;
    for (std::size_t row = 0; row < s.offsets.size(); ++row) {
        if (s.verdicts[row] != kNoVerdict) {
            const std::string_view text = s.Text(s.Current(row));
            widest = std::max<std::size_t>(
                widest, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\0')) + 1);
        }
    }
    format.added_at = std::max(s.check->HeaderWidth(), widest);
    ListWriter writer(out, format);
    bool ok =
        writer.Head(s.check->TitleLines(), s.options.no_header ? nullptr : &s.check->Headings());
    for (std::size_t row = 0; ok && row < s.offsets.size(); ++row) {
        const std::vector<std::string> fields = s.Fields(row);
        ok = s.verdicts[row] == kNoVerdict
                 ? writer.BlankRow(fields, s.lines[row])
                 : writer.CheckedRow(fields, s.lines[row], static_cast<Verdict>(s.verdicts[row]),
                                     SuggestionText(row));
    }
    if (!writer.Refusal().empty()) {
        out.Abandon();
        error = "Cannot save the list in Windows-1252, its own encoding: " + writer.Refusal() +
                ". " + path + " is left as it was.";
        return false;
    }
    if (!ok || !out.Flush()) {
        out.Abandon();
        error = "Cannot write " + path + " (is the disk full?)";
        return false;
    }
    if (!out.Commit(why)) {
        error = "Cannot write " + path + ": " + why;
        return false;
    }
    s.saved_at = s.applied;
    return true;
}

std::string CheckedList::CheckedCopyName() const {
    if (state_->path.empty()) {
        return {};
    }
    const std::filesystem::path path = PathFromUtf8(state_->path);
    return Utf8FromPath(path.parent_path() /
                        PathFromUtf8(Utf8FromPath(path.stem()) + " (checked).csv"));
}

}  // namespace korvallestin

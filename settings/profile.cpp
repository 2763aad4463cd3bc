#include "settings/profile.h"

#include <algorithm>
#include <vector>

namespace orvelle::profile {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView Trimmed(QByteArrayView text) {
  while (!text.isEmpty() && IsBlank(text.front())) {
    text = text.sliced(1);
  }
  while (!text.isEmpty() && IsBlank(text.back())) {
    text.chop(1);
  }
  return text;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(QByteArrayView a, QByteArrayView b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// One line of the file: its text without the line ending, and the ending.
struct Line {
  QByteArrayView text;
  QByteArrayView eol;
};

std::vector<Line> SplitLines(QByteArrayView content) {
  std::vector<Line> lines;
  qsizetype start = 0;
  while (start < content.size()) {
    const qsizetype nl = content.indexOf('\n', start);
    if (nl < 0) {
      lines.push_back({content.sliced(start), {}});
      break;
    }
    qsizetype textEnd = nl;
    if (textEnd > start && content[textEnd - 1] == '\r') {
      --textEnd;
    }
    lines.push_back({content.sliced(start, textEnd - start), content.sliced(textEnd, nl + 1 - textEnd)});
    start = nl + 1;
  }
  return lines;
}

// The section name of a header line, or nothing for any other line.
std::optional<QByteArrayView> SectionName(QByteArrayView line) {
  line = Trimmed(line);
  if (line.isEmpty() || line.front() != '[') {
    return std::nullopt;
  }
  line = line.sliced(1);
  const qsizetype close = line.lastIndexOf(']');
  return Trimmed(close < 0 ? line : line.first(close));
}

struct KeyLine {
  QByteArrayView key;
  QByteArrayView value;
};

std::optional<KeyLine> ParseKey(QByteArrayView line) {
  const qsizetype eq = line.indexOf('=');
  if (eq < 0) {
    return std::nullopt;
  }
  return KeyLine{Trimmed(line.first(eq)), Trimmed(line.sliced(eq + 1))};
}

// The lines of one section with the wanted name: its header and the end of its
// lines. A name may stand more than once; all are kept in file order.
struct SectionSpan {
  std::size_t header;
  std::size_t end; // one past the section's last line
};

std::vector<SectionSpan> FindSections(const std::vector<Line> &lines, QByteArrayView section) {
  std::vector<SectionSpan> spans;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i].text);
    if (!name) {
      continue;
    }
    if (!spans.empty() && spans.back().end == 0) {
      spans.back().end = i;
    }
    if (SameName(*name, section)) {
      spans.push_back({i, 0});
    }
  }
  if (!spans.empty() && spans.back().end == 0) {
    spans.back().end = lines.size();
  }
  return spans;
}

std::optional<std::size_t> FindKey(const std::vector<Line> &lines, const std::vector<SectionSpan> &spans,
                                   QByteArrayView key) {
  for (const SectionSpan &span : spans) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
      const auto parsed = ParseKey(lines[i].text);
      if (parsed && SameName(parsed->key, key)) {
        return i;
      }
    }
  }
  return std::nullopt;
}

QByteArrayView DefaultEol(const std::vector<Line> &lines) {
  for (const Line &line : lines) {
    if (!line.eol.isEmpty()) {
      return line.eol;
    }
  }
  return "\n";
}

bool HasLineBreak(QByteArrayView text) { return text.contains('\n') || text.contains('\r'); }

bool IsStorableName(QByteArrayView name) {
  return !Trimmed(name).isEmpty() && !HasLineBreak(name) && !name.contains('=') && !name.contains('[') &&
         !name.contains(']');
}

} // namespace

std::optional<QByteArray> Lookup(QByteArrayView content, QByteArrayView section, QByteArrayView key) {
  const std::vector<Line> lines = SplitLines(content);
  const auto index = FindKey(lines, FindSections(lines, Trimmed(section)), Trimmed(key));
  if (!index) {
    return std::nullopt;
  }
  QByteArrayView value = ParseKey(lines[*index].text)->value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.sliced(1, value.size() - 2);
  }
  return value.toByteArray();
}

bool CanStore(QByteArrayView section, const QList<Entry> &entries) {
  if (!IsStorableName(section)) {
    return false;
  }
  return std::all_of(entries.begin(), entries.end(),
                     [](const Entry &e) { return IsStorableName(e.first) && !HasLineBreak(e.second); });
}

QByteArray Update(QByteArrayView content, QByteArrayView section, const QList<Entry> &entries) {
  section = Trimmed(section);
  // Work on owned line texts so that replacements and insertions stay simple;
  // lines that are not touched are copied back byte for byte.
  std::vector<Line> views = SplitLines(content);
  struct OwnedLine {
    QByteArray text;
    QByteArray eol;
  };
  std::vector<OwnedLine> lines;
  lines.reserve(views.size() + entries.size() + 1);
  for (const Line &l : views) {
    lines.push_back({l.text.toByteArray(), l.eol.toByteArray()});
  }
  const QByteArray eol = DefaultEol(views).toByteArray();

  auto asViews = [&lines] {
    std::vector<Line> out;
    out.reserve(lines.size());
    for (const OwnedLine &l : lines) {
      out.push_back({l.text, l.eol});
    }
    return out;
  };
  auto ensureEnded = [&lines, &eol](std::size_t index) {
    if (lines[index].eol.isEmpty()) {
      lines[index].eol = eol;
    }
  };

  for (const Entry &entry : entries) {
    const QByteArrayView key = Trimmed(entry.first);
    std::vector<Line> current = asViews();
    const std::vector<SectionSpan> spans = FindSections(current, section);
    if (const auto index = FindKey(current, spans, key)) {
      const QByteArray name = ParseKey(current[*index].text)->key.toByteArray();
      lines[*index].text = name + '=' + entry.second;
      continue;
    }
    const QByteArray keyLine = key.toByteArray() + '=' + entry.second;
    if (spans.empty()) {
      if (!lines.empty()) {
        ensureEnded(lines.size() - 1);
      }
      lines.push_back({'[' + section.toByteArray() + ']', eol});
      lines.push_back({keyLine, eol});
      continue;
    }
    // After the section's last line that is not blank.
    const SectionSpan &span = spans.front();
    std::size_t after = span.header;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
      if (!Trimmed(current[i].text).isEmpty()) {
        after = i;
      }
    }
    ensureEnded(after);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after + 1), OwnedLine{keyLine, eol});
  }

  QByteArray out;
  out.reserve(content.size() + 64 * entries.size());
  for (const OwnedLine &l : lines) {
    out += l.text;
    out += l.eol;
  }
  return out;
}

} // namespace orvelle::profile

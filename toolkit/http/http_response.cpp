// The incremental HTTP/1.x response reader.
#include "toolkit/http/http_response.h"
#include "platform/text.h"

#include <algorithm>

namespace sorel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsControl(char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F; }

bool IsTokenCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool HasControl(std::string_view text) { return std::any_of(text.begin(), text.end(), IsControl); }

// Calls each(item) for the items of a comma-separated list, blanks trimmed, empty ones skipped.
template <typename Each>
void ForEachItem(std::string_view list, Each each) {
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view item = Trim(list.substr(0, comma));
    if (!item.empty()) each(item);
    if (comma == std::string_view::npos) return;
    list.remove_prefix(comma + 1);
  }
}

// Decimal digits only, leading zeros aside at most 18 of them: below 2^63 and so never overflowing.
std::int64_t ParseLength(std::string_view digits) {
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) return -1;
  while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
  if (digits.size() > 18) return -1;
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

HttpResponseParser::State HttpResponseParser::state() const {
  return step_ == Step::Complete ? State::Complete : step_ == Step::Failed ? State::Failed : State::Reading;
}

const std::string* HttpResponseParser::Header(std::string_view name) const {
  for (const HttpHeader& h : headers_)
    if (AsciiEqualIgnoreCase(h.name, name)) return &h.value;
  return nullptr;
}

void HttpResponseParser::Fail(const char* reason) {
  step_ = Step::Failed;
  failure_ = reason;
  line_.clear();
  line_.shrink_to_fit();
}

std::string_view HttpResponseParser::Feed(std::string_view& input) {
  while (!input.empty()) {
    switch (step_) {
      case Step::Complete:  // what follows the response is not read: see the header
      case Step::Failed:
        input = {};
        return {};
      case Step::CloseBody: {
        const std::string_view body = input;
        input = {};
        return body;
      }
      case Step::LengthBody:
      case Step::ChunkData: {
        const std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(input.size())));
        const std::string_view body = input.substr(0, take);
        input.remove_prefix(take);
        remaining_ -= static_cast<std::int64_t>(take);
        if (remaining_ == 0) step_ = step_ == Step::LengthBody ? Step::Complete : Step::ChunkEnd;
        return body;
      }
      case Step::ChunkEnd: {
        // Exactly a line end after the data: anything else means the sizes were wrong.
        const char c = input[0];
        input.remove_prefix(1);
        if (c == '\r' && !sawCR_) {
          sawCR_ = true;
        } else if (c == '\n') {
          sawCR_ = false;
          step_ = Step::ChunkSize;
        } else {
          Fail("Invalid chunk");
        }
        break;
      }
      default: {
        const std::size_t limit = step_ == Step::ChunkSize ? kHttpMaxChunkLine : kHttpMaxLine;
        const std::size_t newline = input.find('\n');
        const std::size_t take = std::min(newline, input.size());
        // One more than the limit for the CR of the line end.
        if (line_.size() + take > limit + 1) {
          Fail(step_ == Step::ChunkSize ? "Invalid chunk" : "Response headers too large");
          break;
        }
        line_.append(input.substr(0, take));
        input.remove_prefix(newline == std::string_view::npos ? take : take + 1);
        if (newline == std::string_view::npos) break;
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        if (line_.size() > limit) {
          Fail(step_ == Step::ChunkSize ? "Invalid chunk" : "Response headers too large");
          break;
        }
        HandleLine();
        line_.clear();
      }
    }
  }
  return {};
}

void HttpResponseParser::Finish() {
  if (step_ == Step::CloseBody) step_ = Step::Complete;
  else if (step_ != Step::Complete && step_ != Step::Failed) Fail("Connection lost");
}

// Status, header and trailer lines count against the bounds; counted: a header or trailer line.
bool HttpResponseParser::CountHeaderLine(bool counted) {
  headerBytes_ += line_.size() + 2;
  if (counted) ++headerLines_;
  if (headerBytes_ > kHttpMaxHeaderBytes || headerLines_ > kHttpMaxHeaderLines) {
    Fail("Response headers too large");
    return false;
  }
  return true;
}

void HttpResponseParser::HandleLine() {
  switch (step_) {
    case Step::StatusLine:
      if (CountHeaderLine(false)) ParseStatusLine();
      break;
    case Step::HeaderLines:
      if (line_.empty()) EndOfHeaders();
      else if (CountHeaderLine(true)) ParseHeaderLine();
      break;
    case Step::ChunkSize:
      ParseChunkSize();
      break;
    case Step::Trailers:
      if (line_.empty()) step_ = Step::Complete;
      else CountHeaderLine(true);
      break;
    default:
      break;
  }
}

void HttpResponseParser::ParseStatusLine() {
  const std::string_view line = line_;
  const bool valid = line.size() >= 12 && line.substr(0, 5) == "HTTP/" && IsDigit(line[5]) && line[6] == '.' &&
                     IsDigit(line[7]) && line[8] == ' ' && line[9] >= '1' && line[9] <= '9' && IsDigit(line[10]) &&
                     IsDigit(line[11]) && (line.size() == 12 || line[12] == ' ') && !HasControl(line);
  if (!valid) return Fail("Invalid response");
  status_ = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
  reason_ = line.size() > 12 ? std::string(Trim(line.substr(13))) : std::string();
  step_ = Step::HeaderLines;
}

void HttpResponseParser::ParseHeaderLine() {
  const std::string_view line = line_;
  if (HasControl(line)) return Fail("Invalid response");
  if (IsBlank(line[0])) {
    // An obsolete continuation line: more of the value above.
    if (headers_.empty()) return Fail("Invalid response");
    std::string& value = headers_.back().value;
    const std::string_view more = Trim(line);
    if (!more.empty()) value += (value.empty() ? "" : " ") + std::string(more);
    return;
  }
  const std::size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos ||
      !std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon), IsTokenCharacter))
    return Fail("Invalid response");
  headers_.push_back({std::string(line.substr(0, colon)), std::string(Trim(line.substr(colon + 1)))});
}

void HttpResponseParser::ParseChunkSize() {
  std::string_view line = line_;
  std::int64_t size = 0;
  std::size_t digits = 0;
  for (; digits < line.size() && DigitValue(line[digits], 16) >= 0; ++digits) {
    if (size >> 56) return Fail("Invalid chunk");  // one more digit could pass 2^60: refused, never overflowing
    size = size * 16 + DigitValue(line[digits], 16);
  }
  line.remove_prefix(digits);
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (digits == 0 || !(line.empty() || line[0] == ';')) return Fail("Invalid chunk");
  remaining_ = size;
  step_ = size == 0 ? Step::Trailers : Step::ChunkData;
}

void HttpResponseParser::EndOfHeaders() {
  if (status_ < 200) {
    // 101 would switch to another protocol, which a GET never asks for.
    if (status_ == 101) return Fail("Invalid response");
    status_ = 0;
    reason_.clear();
    headers_.clear();
    step_ = Step::StatusLine;
    return;
  }
  headersDone_ = true;
  if (status_ == 204 || status_ == 304) {
    step_ = Step::Complete;
    return;
  }
  bool coded = false, chunked = false, unsupported = false;
  std::int64_t length = -1;
  bool lengthValid = true;
  for (const HttpHeader& h : headers_) {
    if (AsciiEqualIgnoreCase(h.name, "Transfer-Encoding")) {
      ForEachItem(h.value, [&](std::string_view coding) {
        coded = true;
        if (AsciiEqualIgnoreCase(coding, "chunked")) chunked = true;
        else unsupported = true;
      });
    } else if (AsciiEqualIgnoreCase(h.name, "Content-Length")) {
      bool any = false;
      ForEachItem(h.value, [&](std::string_view item) {
        any = true;
        const std::int64_t value = ParseLength(item);
        if (value < 0 || (length >= 0 && value != length)) lengthValid = false;
        length = value;
      });
      if (!any) lengthValid = false;
    }
  }
  // A transfer coding overrides Content-Length.
  if (coded) {
    if (unsupported || !chunked) return Fail("Unsupported transfer encoding");
    step_ = Step::ChunkSize;
    return;
  }
  if (!lengthValid) return Fail("Invalid response");
  if (length >= 0) {
    length_ = remaining_ = length;
    step_ = length == 0 ? Step::Complete : Step::LengthBody;
    return;
  }
  step_ = Step::CloseBody;
}

}  // namespace sorel

// An HTTP/1.x response read as it arrives, in blocks split anywhere: status, headers, body framing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

struct HttpHeader {
  std::string name;   // as sent
  std::string value;  // blanks around it removed; continuation lines joined with one blank
};

constexpr std::size_t kHttpMaxLine = 8 * 1024;          // a status or header line, without its line end
constexpr std::size_t kHttpMaxHeaderBytes = 64 * 1024;  // every status, header and trailer line, with line ends
constexpr std::size_t kHttpMaxHeaderLines = 100;        // header and trailer lines
constexpr std::size_t kHttpMaxChunkLine = 1024;         // a chunk-size line, without its line end

// The response to a GET, read incrementally. Format (HTTP/1.1 message syntax):
//   status line  "HTTP/" DIGIT "." DIGIT SP 3DIGIT [SP reason]   reason: no control characters but tab
//   header lines name ":" [blanks] value [blanks]                 name: a token; value: no control
//                                                                 characters but tab; a line that starts
//                                                                 with a blank continues the value above
//   an empty line, then the body.
// Every line ends with CR LF or LF alone. Interim responses (1xx but 101) are skipped whole; 204 and
// 304 have no body. The body is framed by "Transfer-Encoding: chunked" (hex size [";" extension],
// the data, a line end; after the size-0 chunk trailer lines up to an empty line, all skipped; any
// other transfer coding is refused), else by Content-Length (decimal digits only, at most 18; a
// list "5, 5" or repeated headers must all agree), else it runs until the peer closes.
// The response is complete where its framing ends it: after the announced length, after the
// last chunk's trailers, after the headers of a 204 or 304. Bytes after that are consumed and
// ignored, whatever they are and however they arrive: the transport asked the server to close
// the connection, so they can be no response of ours, and the outcome must not depend on whether
// they came in the same read as the end of the body.
// Failure reasons, in English for the user: "Invalid response", "Response headers too large",
// "Unsupported transfer encoding", "Invalid chunk", "Connection lost" (the peer closed before the
// end). Memory stays within the bounds above whatever the input; body bytes are handed on, never
// kept.
class HttpResponseParser {
 public:
  enum class State { Reading, Complete, Failed };

  // Consumes bytes from the front of input and returns the body bytes it reached, as a view into
  // input, at once: the caller handles them and calls again while input is not empty. Every call
  // with bytes consumes at least one; once the response has ended or failed, all of them. "" when
  // the bytes held no body or the response has ended.
  std::string_view Feed(std::string_view& input);
  // The peer closed: a body that runs until the close is complete, anything else unfinished is
  // "Connection lost". A finished response stays as it was.
  void Finish();

  State state() const;
  const std::string& Failure() const { return failure_; }  // "" unless Failed
  // The final response's status line and headers have been read; its body may follow.
  bool HeadersDone() const { return headersDone_; }
  int Status() const { return status_; }  // 0 until the final response's status line
  const std::string& Reason() const { return reason_; }
  const std::vector<HttpHeader>& Headers() const { return headers_; }
  // The first header of that name, compared ignoring ASCII case; nullptr when there is none.
  const std::string* Header(std::string_view name) const;
  // The announced length when Content-Length frames the body, else -1.
  std::int64_t ContentLength() const { return length_; }

 private:
  enum class Step { StatusLine, HeaderLines, LengthBody, ChunkSize, ChunkData, ChunkEnd, Trailers, CloseBody, Complete, Failed };
  void Fail(const char* reason);
  void HandleLine();
  bool CountHeaderLine(bool counted);
  void ParseStatusLine();
  void ParseHeaderLine();
  void ParseChunkSize();
  void EndOfHeaders();

  Step step_ = Step::StatusLine;
  std::string line_;                // the line read so far, without its LF
  bool sawCR_ = false;              // ChunkEnd: the CR of the line end
  std::size_t headerBytes_ = 0, headerLines_ = 0;
  int status_ = 0;
  std::string reason_;
  std::vector<HttpHeader> headers_;
  bool headersDone_ = false;
  std::int64_t length_ = -1;
  std::int64_t remaining_ = 0;      // of the Content-Length body or the current chunk
  std::string failure_;
};

}  // namespace sorel

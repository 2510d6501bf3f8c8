// A printer whose output is a file, for tests under Wine: no print server, only Wine's own
// PostScript driver (wineps.drv) on a port that is a Unix path.
#pragma once
#include <string>

namespace sorel::test {

// Installs the driver with the generic PostScript description that Wine's winspool.drv carries
// (resource "PPDFILE" 1, written to the temporary folder), adds a printer of that name printing
// to a file in the temporary folder and makes it the default printer. The destructor deletes the
// printer and gives the default back; a printer of that name left by an earlier run is replaced,
// so the helper can be used again and again in one prefix.
class FilePrinter {
 public:
  explicit FilePrinter(const std::string& name = "Sorel File Printer");
  ~FilePrinter();
  FilePrinter(const FilePrinter&) = delete;
  FilePrinter& operator=(const FilePrinter&) = delete;

  // Empty once the printer is ready; otherwise the step that failed and what Wine answered.
  const std::string& Error() const { return error_; }
  // The output file as Windows names it, and as the port (a Unix path) names it.
  const std::string& OutputPath() const { return outputPath_; }
  const std::string& Port() const { return port_; }
  // The output so far; "" when there is no file.
  std::string Output() const;
  bool OutputExists() const;
  void RemoveOutput() const;

 private:
  void Install();
  std::string name_, driver_, ppdPath_, outputPath_, port_, previousDefault_, error_;
  bool added_ = false;
};

// The printers the system lists (EnumPrintersA, local and connected).
int PrinterCount();

// The text Ghostscript reads from a PostScript file (gs -sDEVICE=txtwrite), run as a Unix program
// from inside Wine; false when Ghostscript is not installed or cannot be started from Wine.
bool GhostscriptText(const std::string& postScriptPath, std::string& text);

}  // namespace sorel::test

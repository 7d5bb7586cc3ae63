#pragma once
// The diagnostic log: one UTF-16 file per day in a "Log" folder beside the
// program. Callers queue a timestamped line and return at once; a writer
// thread appends the queued lines, opening the file only for each batch so
// that other programs can read it meanwhile.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "platform/files.h"
#include "platform/platform.h"
#include "platform/system_facts.h"

namespace orvello {

class CMyLog {
 public:
  // A log of its own over the given services. `programFolder`, when not
  // empty, stands in for the program's folder (the log goes to its "Log\").
  CMyLog(platform::IFiles& files, platform::ISystemFacts& system, std::wstring programFolder = {});
  ~CMyLog();
  CMyLog(const CMyLog&) = delete;
  CMyLog& operator=(const CMyLog&) = delete;

  // The program's log, created on first use. It does nothing until a
  // platform has been bound and it has been opened.
  static CMyLog& Instance();
  // Gives the program's log its platform; once, at start-up, before Open.
  static void Bind(platform::Platform& platform);

  // Chooses the folder and file-name prefix and starts the writer; only the
  // first call counts.
  void Open(const std::wstring& name);
  // Lines are dropped until the log is opened.
  void WriteLine(const std::wstring& text);
  // printf-style, %s being wide text.
  void WriteFormat(const wchar_t* format, ...);

  bool opened() const;
  std::wstring folder() const;
  std::wstring name() const;

  // Waits until every line queued before the call has been written (or its
  // batch dropped) and the file closed again; false if that took longer
  // than `limit`.
  bool Flush(std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  struct State;
  CMyLog();
  void Stop();
  static void WriterLoop(std::shared_ptr<State> state);
  static void WriteBatch(State& state);

  // Shared with the writer thread, so that a writer that does not end in
  // time can be let go without touching freed memory.
  std::shared_ptr<State> state_;
  std::thread writer_;
};

}  // namespace orvello

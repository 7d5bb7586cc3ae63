#pragma once
// What the application object needs from the UI toolkit's application base:
// COM, the rich edit library, the control factory, the main frame and the
// message loop. The Win32 toolkit implements it for the product; tests use
// a recording host.
#include <cstdint>
#include <string>

namespace orvello {

class CApp;

class IAppHost {
 public:
  virtual ~IAppHost() = default;
  // The framework's own initialisation (common controls); false ends the
  // process with exit code 1.
  virtual bool InitializeFramework() = 0;
  // CoInitialize(NULL) and OleInitialize(NULL); false when either fails.
  virtual bool InitializeCom() = 0;
  virtual void UninitializeCom() = 0;
  // Loads RichEdit 2.0 for the message log.
  virtual bool LoadRichEdit() = 0;
  // Registers the program's own control types with the control factory.
  virtual void RegisterControlTypes() = 0;
  // The registered single-instance message: the main window brings itself
  // forward when a second copy broadcasts it.
  virtual void SetActivationMessage(uint32_t message) = 0;
  // Creates the main frame and its window (titled `title`, centred on the
  // work area of its monitor) for the application. False when the frame
  // cannot be created.
  virtual bool CreateMainFrame(CApp& app, const std::wstring& title) = 0;
  virtual void DestroyMainFrame() = 0;
  // Runs the message loop until WM_QUIT; returns its exit code.
  virtual int RunMessageLoop() = 0;
};

}  // namespace orvello

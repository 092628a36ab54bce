#pragma once

#include <memory>
#include <string>

class CGlossCutterDoc;
class CMainFrame;

// The application: opens the settings named after the program's version
// information, or a settings file it is given; creates the document, the main
// frame and its view, and shows the window with an empty list. Nothing is
// loaded until Reload.
class CGlossCutterApp final {
public:
    CGlossCutterApp();
    ~CGlossCutterApp();
    CGlossCutterApp(const CGlossCutterApp&) = delete;
    CGlossCutterApp& operator=(const CGlossCutterApp&) = delete;

    // After the QApplication exists; false ends the program. A non-empty
    // `strSettingsFile` is the settings store instead of the user's.
    bool InitInstance(const std::string& strSettingsFile = {});
    // Before the QApplication goes: closes the window and the document.
    void ExitInstance();

    void OnAppAbout();

    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    CGlossCutterDoc* GetDocument() const { return m_pDocument.get(); }

private:
    std::unique_ptr<CGlossCutterDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pMainFrame;
};

extern CGlossCutterApp theApp;

#include "GlossCutterApp.h"

#include "About.h"
#include "GlossCutterDoc.h"
#include "GlossCutterOptions.h"
#include "GlossCutterView.h"
#include "MainFrame.h"
#include "Version.h"

CGlossCutterApp theApp;

CGlossCutterApp::CGlossCutterApp() = default;

CGlossCutterApp::~CGlossCutterApp() = default;

bool CGlossCutterApp::InitInstance(const std::string& strSettingsFile) {
    if (!strSettingsFile.empty()) {
        theOptions.OpenSettingsFile(strSettingsFile);
    } else {
        // The settings are named after the company and product of the
        // program's own version information.
        const CxVersion version;
        if (!version.m_arrInfo.empty()) {
            const CxVersionInfo& info = *version.m_arrInfo[0];
            theOptions.OpenSettingsKey(info.m_strCompanyName, info.m_strProductName);
        }
    }
    // The document, the frame and its view, as one template would make them.
    m_pDocument = std::make_unique<CGlossCutterDoc>();
    auto* pView = new CGlossCutterView(*m_pDocument);
    m_pMainFrame = std::make_unique<CMainFrame>(pView);
    QObject::connect(m_pMainFrame.get(), &CMainFrame::AboutRequested, [this] { OnAppAbout(); });
    pView->OnInitialUpdate();
    // Just large enough for the form (adjustSize would stop at two thirds of
    // the screen).
    m_pMainFrame->resize(m_pMainFrame->sizeHint());
    m_pMainFrame->show();
    return true;
}

void CGlossCutterApp::ExitInstance() {
    m_pMainFrame.reset();
    m_pDocument.reset();
}

void CGlossCutterApp::OnAppAbout() {
    CxAbout about(m_pMainFrame.get());
    about.exec();
}

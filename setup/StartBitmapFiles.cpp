#include "setup/StartBitmapFiles.h"

#include "base/Windows1252.h"
#include "setup/EntryPath.h"
#include "setup/IniFile.h"
#include "setup/NameCase.h"
#include "setup/PackageCopy.h"
#include "setup/kivCPackageExtractor.h"
#include "setup/platform/FileHandle.h"

#include <algorithm>
#include <new>
#include <optional>

namespace setup {

namespace {

// The part of a package name after its last backslash, as a file name directly inside a
// folder; nothing when that part is empty, "." or "..", or holds a slash, any of which would
// name something other than a new file in that folder.
std::optional<std::string> LastNamePart(const std::string& name) {
    const std::string part = name.substr(name.rfind('\\') + 1);
    if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos) {
        return std::nullopt;
    }
    return part;
}

} // namespace

StartBitmapFiles::StartBitmapFiles(SetupLog& log, SetupPlatform& platform)
    : m_log(log), m_platform(platform) {}

bool StartBitmapFiles::ExtraStartBitmap() {
    const std::string strPackagedFile = m_platform.ModulePath();
    if (strPackagedFile.empty()) {
        m_log.Log("Failed new kivCPackageExtractor, and strPackagedFile is:" + strPackagedFile);
        m_log.Log("Finish CMainWindow::ExtraStartBitmap().");
        return true;
    }
    kivCPackageExtractor extractor(strPackagedFile);
    // The current folder is only checked: a bitmap named by a relative path is found there.
    if (!m_platform.CurrentDirectory()) {
        m_log.Log("Can't get CurrentDirectory.");
        m_log.Log("Finish CMainWindow::ExtraStartBitmap().");
        return true;
    }
    const std::list<PackageEntry>& entries = extractor.GetFileList();
    const std::optional<std::string> tempFolder = m_platform.SystemTempFolder();
    if (!tempFolder) {
        m_log.Log("Finish CMainWindow::ExtraStartBitmap().");
        return true;
    }

    // Without a configuration entry the name of the last entry examined is read instead, as a
    // path of this system.
    std::string configPath;
    bool bConfigUsable = true;
    for (const PackageEntry& entry : entries) {
        if (EqualIgnoringCase(entry.strName, "\\setup\\setup.ini")) {
            configPath = *tempFolder + "setup.ini";
            m_log.Log("Do CMainWindow::ExtractFile: " + configPath);
            // What lies at that path when the copy failed is not the package's configuration.
            bConfigUsable = ExtractFile(entry, strPackagedFile, configPath);
            break;
        }
        configPath = PackageNameToPath(entry.strName);
    }
    IniFile ini;
    if (!bConfigUsable || !ini.Load(configPath)) {
        m_log.Log("Can't load setup.ini:" + configPath);
        return false;
    }
    const IniSection* bitmap = ini.GetSection("bitmap");
    if (bitmap == nullptr) {
        m_log.Log("Can't get bitmap section.");
        return false;
    }
    // Configuration values are Windows-1252 text, as the package names they are compared with.
    const std::string* configured = bitmap->GetValue("Start_Bitmap");
    const std::string bitmapName = configured != nullptr ? *configured : std::string();
    m_strBitmapPath = tarvik::Windows1252ToUtf8(bitmapName);

    for (const PackageEntry& entry : entries) {
        const std::optional<std::string> part = LastNamePart(entry.strName);
        if (part && EqualIgnoringCase(*part, bitmapName)) {
            const std::string outputPath = *tempFolder + tarvik::Windows1252ToUtf8(*part);
            m_log.Log("Do CMainWindow::ExtractFile():" + outputPath);
            ExtractFile(entry, strPackagedFile, outputPath);
            m_strBitmapPath = outputPath;
            break;
        }
    }
    m_log.Log("Finish CMainWindow::ExtraStartBitmap().");
    return true;
}

bool StartBitmapFiles::ExtractFile(const PackageEntry& entry, const std::string& strPackagedFile,
                                   const std::string& strOutputPath) {
    bool bCopied = false;
    if (entry.IsFile()) {
        const FileHandle package = OpenForReading(strPackagedFile);
        const std::size_t slash = strOutputPath.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "." : strOutputPath.substr(0, slash + 1);
        const std::string leaf = strOutputPath.substr(slash == std::string::npos ? 0 : slash + 1);
        if (!package.valid()) {
            m_log.Log("Can't read file: " + strPackagedFile);
        } else if (const FileHandle output = ReplaceFileAt(OpenFolder(folder), leaf);
                   leaf.empty() || !output.valid()) {
            m_log.Log("Can't read file: " + strOutputPath);
        } else {
            if (std::find(m_createdFiles.begin(), m_createdFiles.end(), strOutputPath) ==
                m_createdFiles.end()) {
                m_createdFiles.push_back(strOutputPath);
            }
            std::vector<char> pBuf;
            try {
                pBuf.resize(kCopyBufferSize);
                bCopied =
                    CopyPackageBytes(package, entry.dwDataOffset, entry.dwStoredSize, output, pBuf);
            } catch (const std::bad_alloc&) {
                m_log.Log("Can't NEW pBuf.");
            }
        }
    }
    m_log.Log("Finish CMainWindow::ExtractFile().");
    return bCopied;
}

void StartBitmapFiles::ClearStartBitmap() {
    for (const std::string& path : m_createdFiles) {
        m_platform.DeleteFile(path);
    }
    m_createdFiles.clear();
    m_strBitmapPath.clear();
}

} // namespace setup

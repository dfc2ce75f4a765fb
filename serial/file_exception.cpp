#include "serial/file_exception.h"

namespace linkmate {
namespace {

std::string Describe(long osError, const std::string& fileName) {
    std::string text = fileName.empty() ? std::string("port") : fileName;
    text += ": ";
    text += osError != 0 ? CFileException::SystemErrorText(osError) : "no error";
    return text;
}

}  // namespace

CFileException::CFileException() : std::runtime_error("port: no error") {}

CFileException::CFileException(Cause cause, long osError, std::string fileName)
    : std::runtime_error(Describe(osError, fileName)),
      m_cause(cause),
      m_lOsError(osError),
      m_strFileName(std::move(fileName)) {}

CFileException::CFileException(Cause cause, long osError, std::string fileName, std::string reason)
    : std::runtime_error((fileName.empty() ? std::string("port") : fileName) + ": " + reason),
      m_cause(cause),
      m_lOsError(osError),
      m_strFileName(std::move(fileName)),
      m_strReason(std::move(reason)) {}

void CFileException::Set(long osError, std::string fileName) {
    *this = CFileException(CauseFromOsError(osError), osError, std::move(fileName));
}

}  // namespace linkmate

#pragma once
// The compiled-in settings of the installer. Nothing is read at run time; the
// package server's host and port come from the build configuration.
#include <cstdint>

#ifndef TAVRIN_SERVER_HOST
#error "TAVRIN_SERVER_HOST must be defined by the build"
#endif
#ifndef TAVRIN_SERVER_PORT
#error "TAVRIN_SERVER_PORT must be defined by the build"
#endif

namespace Settings {

constexpr const char* ServerHost = TAVRIN_SERVER_HOST;
constexpr int32_t ServerPort = TAVRIN_SERVER_PORT;
constexpr const char* DownloadPath = "down/";
constexpr const char* PackageFileName = "InstallNorlo.zip";
constexpr const char* ProductFolderName = "Tavrin服务";
constexpr const char* ClientExeName = "ZAVeri.exe";

} // namespace Settings

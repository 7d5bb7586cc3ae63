#!/usr/bin/env python3
"""Generates the program's message keys and the two message tables shipped
in the package from the one table below:

  src/lang/messages.h, src/lang/messages.cpp
  package/zip/Lang/English/StringResource.lng
  package/zip/Lang/ChineseSimplified/stringresource.lng

Each row is (constant name, Chinese key, English text). The key is the
message exactly as the program writes it, placeholders and punctuation
included; the English text must keep the key's placeholders in the same
order. An English text of None leaves the key out of the English pack, so
English users see it as written.

Run from anywhere: python3 tools/gen_messages.py
"""

import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

MESSAGES = [
    # Spooler service check at start-up and restart of the spooler.
    ("kOpenSpoolerFailed", "打开服务: Spooler 失败. 错误码: %d. 错误描述: %s.",
     "Opening service: Spooler failed Error code:%d. Error description:%s."),
    ("kStopSpoolerFailed", "停止服务: Spooler 失败. 错误码: %d. 错误描述: %s.",
     "Stop service: Spooler failed Error code:%d. Error description:%s."),
    ("kRestartSpoolerFailed", "重启服务: Spooler 失败. 错误码: %d. 错误描述: %s.",
     "Restart service: Spooler failed Error code:%d. Error description:%s."),

    # Device list status cells.
    ("kStatusInstalled", "已安装", "already installed"),
    ("kStatusNotInstalled", "未安装", "Not installed"),
    ("kStatusConnected", "已连接", "Connected"),

    # Custom port page.
    ("kConfirmDeletePort", "是否删除端口: %s ?", "Delete port:%s ?"),
    ("kDeletePortSucceeded", "删除端口: %s 成功.", "Delete port:%s Success."),
    ("kDeletePortFailed", "删除端口: %s 失败. 错误码: %d. 错误描述: %s.",
     "Delete port:%s Failed Error code:%d. Error description:%s."),
    ("kPortNameExists", "端口名已存在, 请重新输入.", "The port name already exists, please re-enter."),

    # Printer name page and setup summary.
    ("kBluetooth", "蓝牙", "Bluetooth"),
    ("kYes", "是", "yes"),
    ("kNo", "否", "no"),
    ("kInstallingPrinter", "正在安装打印机", "Installing printer"),
    ("kInstallationCompleted", "安装完成.", "Installation completed."),

    # Upgrade and removal summaries.
    ("kUpgradingPrinterDriver", "正在升级打印机驱动", "Upgrading printer driver"),
    ("kPrinterDriverHeading", "打印机驱动: ", "Printer driver:"),
    ("kNothing", "无", "nothing"),
    ("kPrinterHeading", "打印机: ", "Printer:"),
    ("kDeletingPrinter", "正在删除打印机", "Deleting printer"),

    # Staging of the driver package.
    ("kExtractFileFailed", "抽取文件: %s. 失败.", "Extract files:%s. Failed."),
    ("kWriteFileFailed", "写入文件: %s. 失败. 错误码: %d. 错误描述: %s.",
     "Write file:%s. Failed Error code:%d. Error description:%s."),
    ("kUnsafeSourceFileRefused", "拒绝抽取文件: %s. 路径指向驱动目录之外.",
     "Refused to extract file:%s. The path points outside the driver folder."),

    # Driver installation and upgrade.
    ("kDriverInstalled", "安装打印机驱动成功: %s. ", "Successfully installed printer driver:%s. "),
    ("kDriverInstalledRestartNeeded", "安装打印机驱动成功: %s. 需要重启系统.",
     "Printer driver installed successfully: %s. Please restart the system."),
    ("kDriverInstallFailedSeeDevLog",
     "安装打印机驱动失败: %s. 查看日志文件(C:\\Windows\\INF\\setupapi.dev.log)获取详细信息.",
     "Installation of printer driver failed:%s. See the log file (C:\\Windows\\INF\\setupapi.dev.log) for details."),
    ("kDriverInstallFailedSeeLog",
     "安装打印机驱动失败: %s. 查看日志文件(C:\\Windows\\setupapi.log)获取详细信息.",
     "Installation of printer driver failed:%s. See the log file (C:\\Windows\\setupapi.log) for details."),
    ("kDriverInstallParameterError", "安装打印机驱动失败: %s. 错误描述: 参数错误",
     "Installation of printer driver failed:%s. Error description: Parameter error"),
    ("kUnknownError", "未知错误: %s. ", "Unknown error:%s. "),
    ("kDriverInstallationFailed", "安装驱动程序失败. 错误码: %d. 错误描述: %s.",
     "Driver installation failed Error code:%d. Error description:%s."),
    ("kUpgradeDriverFailed", "升级打印机驱动: %s. 失败. 错误码: %d. 错误描述: %s.",
     "Upgrade printer driver:%s. Failed Error code:%d. Error description:%s."),
    ("kUpgradeDriverPackageMissing", "升级打印机驱动: %s. 失败. 错误描述: 对应的驱动包不存在.",
     "Upgrade printer driver:%s. Failed Error description: The corresponding driver package does not exist."),
    ("kDriverUpgraded", "升级打印机驱动成功: %s. ", "Successfully upgraded printer driver:%s. "),

    # Ports and monitors.
    ("kOpenObjectFailed", "%s失败. 错误码: %d. 错误描述: %s.", "%sFailed Error code:%d. Error description:%s."),
    ("kBluetoothPortNotFound", "未找到蓝牙设备端口.", "Bluetooth device port not found."),
    ("kBluetoothInstallUnavailable", "此版本不支持安装蓝牙打印机.",
     "Bluetooth printer installation is not available in this build."),
    ("kAddMonitorFailed", "安装监视器失败. 错误码: %d. 错误描述: %s.",
     "Installation of monitor failed Error code:%d. Error description:%s."),

    # Printer creation.
    ("kPrinterAdded", "添加打印机成功: %s. ", "Successfully added printer:%s. "),
    ("kAddPrinterFailed", "添加打印机: %s. 失败. 错误码: %d. 错误描述: %s.",
     "Add printer:%s. Failed Error code:%d. Error description:%s."),
    ("kDefaultPrinterSet", "已设置为默认打印机.", "Set as default printer."),
    ("kSetDefaultPrinterFailed", "设置默认打印机失败.", "Setting default printer failed."),

    # Removal.
    ("kDeletePrinterFailed", "删除打印机: %s. 失败. 错误码: %d. 错误描述: %s.",
     "Delete printer:%s. Failed Error code:%d. Error description:%s."),
    ("kPurgePrinterFailed", "删除打印机所有业务: %s. 失败. 错误码: %d. 错误描述: %s.",
     "Delete all printer transactions:%s. Failed Error code:%d. Error description:%s."),
    ("kPrinterDeleted", "删除打印机: %s. 成功.", "Delete printer:%s. Success."),
    ("kDeleteDriverFailed", "删除打印机驱动: %s 失败. 错误码: %d. 错误描述: %s.",
     "To delete a printer driver:%s Failed Error code:%d. Error description:%s."),
    ("kDriverDeleted", "删除打印机驱动: %s. 成功.", "To delete a printer driver:%s. Success."),
    ("kDriverPackageDeleted", "删除驱动程序包: %s. 成功.", "Delete driver package:%s. Success."),

    # Bluetooth pairing and the Serial Port service.
    ("kBluetoothPaired", "蓝牙配对成功.", "Bluetooth pairing successful."),
    ("kEnableSerialServiceFailed", "启用蓝牙串口服务失败. 错误码: %d. 错误描述: %s.",
     "Enabling Bluetooth serial port service failed Error code:%d. Error description:%s."),
    ("kBluetoothServicesEmpty", "枚举蓝牙服务为空. 错误码: %d. 错误描述: %s.",
     "The enumeration of Bluetooth services is empty Error code:%d. Error description:%s."),
    ("kEnumerateBluetoothServicesFailed", "枚举蓝牙服务失败. 错误码: %d. 错误描述: %s.",
     "Failed to enumerate Bluetooth services Error code:%d. Error description:%s."),
]


def cpp_literal(text):
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == '"':
            out.append('\\"')
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        else:
            out.append(ch)
    return 'L"' + "".join(out) + '"'


def xml_attribute(text):
    escapes = {"&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;",
               "\n": "&#10;", "\r": "&#13;", "\t": "&#9;"}
    return "".join(escapes.get(ch, ch) for ch in text)


GENERATED = "Generated by tools/gen_messages.py from its message table: edit the table there and run it again."


def header():
    lines = [
        "#pragma once",
        "// The program's user-visible messages, written in Chinese. Each is the key",
        "// of its translation in the language pack: pass it through Translate and",
        "// fill the placeholders afterwards.",
        "// " + GENERATED,
        "#include <span>",
        "",
        "namespace orvello::msg {",
        "",
    ]
    for name, key, _ in MESSAGES:
        lines.append(f"inline constexpr const wchar_t* {name} = {cpp_literal(key)};")
    lines += [
        "",
        "// Every message above, in the order of the shipped message tables.",
        "std::span<const wchar_t* const> AllMessageKeys();",
        "",
        "}  // namespace orvello::msg",
        "",
    ]
    return "\n".join(lines)


def source():
    lines = [
        "// " + GENERATED,
        '#include "lang/messages.h"',
        "",
        "#include <array>",
        "",
        "namespace orvello::msg {",
        "",
        "namespace {",
        "",
        f"constexpr std::array<const wchar_t*, {len(MESSAGES)}> kAllKeys{{",
    ]
    for name, _, _ in MESSAGES:
        lines.append(f"    {name},")
    lines += [
        "};",
        "",
        "}  // namespace",
        "",
        "std::span<const wchar_t* const> AllMessageKeys() { return kAllKeys; }",
        "",
        "}  // namespace orvello::msg",
        "",
    ]
    return "\n".join(lines)


def pack(isocode, entries):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', f'<Language isocode="{isocode}">']
    for key, text in entries:
        lines.append(f'  <String id="{xml_attribute(key)}" text="{xml_attribute(text)}" />')
    lines += ["</Language>", ""]
    return "\n".join(lines)


def check_table():
    names = [name for name, _, _ in MESSAGES]
    keys = [key for _, key, _ in MESSAGES]
    problems = []
    if len(set(names)) != len(names):
        problems.append("duplicate constant names")
    if len(set(keys)) != len(keys):
        problems.append("duplicate keys")
    return problems


def main():
    problems = check_table()
    if problems:
        sys.exit("gen_messages: " + ", ".join(problems))
    outputs = {
        "src/lang/messages.h": header(),
        "src/lang/messages.cpp": source(),
        "package/zip/Lang/English/StringResource.lng":
            pack("en", [(key, english) for _, key, english in MESSAGES if english is not None]),
        "package/zip/Lang/ChineseSimplified/stringresource.lng":
            pack("zh-CN", [(key, key) for _, key, _ in MESSAGES]),
    }
    for relative, text in outputs.items():
        path = ROOT / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text, encoding="utf-8", newline="\n")
        print(f"wrote {relative}")


if __name__ == "__main__":
    main()

-- What wixl cannot say, added to its package by cmake/make-dist.cmake with msibuild, one
-- statement a line, after the package's code page has been set to 932 (Japanese texts).

-- The downgrade message in Japanese.
UPDATE `LaunchCondition` SET `Description` = '新しいバージョンの [ProductName] がインストールされています。' WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'

-- The Startup shortcut's feature only when asked for (level 0: left out).
CREATE TABLE `Condition` (`Feature_` CHAR(38) NOT NULL, `Level` SHORT NOT NULL, `Condition` CHAR(255) PRIMARY KEY `Feature_`, `Level`)
INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('StartAtLogon', 0, 'STARTUP <> "1"')
-- On uninstall, a Startup shortcut the program made itself goes too.
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('RemoveStartupLink', 'StartupCleanup', 'TOLVER~1.LNK|Tolvern Launcher.lnk', 'StartupFolder', 2)
-- The user's Startup folder stays, empty or not (16: permanent).
UPDATE `Component` SET `Attributes` = 16 WHERE `Component` = 'KeepStartupFolder'

-- A choice the program has stored ("Startup" in its settings) stands over the default.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('StartupFromSettingsOn', 51, 'STARTUP', '1')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('StartupFromSettingsOff', 51, 'STARTUP', '')
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('StartupFromSettingsOn', 'SAVEDSTARTUP AND SAVEDSTARTUP <> "0"', 51)
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('StartupFromSettingsOff', 'SAVEDSTARTUP = "0"', 52)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('StartupFromSettingsOn', 'SAVEDSTARTUP AND SAVEDSTARTUP <> "0"', 51)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('StartupFromSettingsOff', 'SAVEDSTARTUP = "0"', 52)

-- The one dialog of an interactive install: what is installed where, and the start-at-logon
-- box (checked; greyed when the program's stored choice decides).
CREATE TABLE `TextStyle` (`TextStyle` CHAR(72) NOT NULL, `FaceName` CHAR(32) NOT NULL, `Size` SHORT NOT NULL, `Color` LONG, `StyleBits` SHORT PRIMARY KEY `TextStyle`)
INSERT INTO `TextStyle` (`TextStyle`, `FaceName`, `Size`) VALUES ('UIFont', 'MS UI Gothic', 9)
INSERT INTO `Property` (`Property`, `Value`) VALUES ('DefaultUIFont', 'UIFont')
CREATE TABLE `Dialog` (`Dialog` CHAR(72) NOT NULL, `HCentering` SHORT NOT NULL, `VCentering` SHORT NOT NULL, `Width` SHORT NOT NULL, `Height` SHORT NOT NULL, `Attributes` LONG, `Title` CHAR(128) LOCALIZABLE, `Control_First` CHAR(50) NOT NULL, `Control_Default` CHAR(50), `Control_Cancel` CHAR(50) PRIMARY KEY `Dialog`)
INSERT INTO `Dialog` (`Dialog`, `HCentering`, `VCentering`, `Width`, `Height`, `Attributes`, `Title`, `Control_First`, `Control_Default`, `Control_Cancel`) VALUES ('SetupDialog', 50, 50, 280, 130, 3, '[ProductName] [ProductVersion] のセットアップ', 'StartupBox', 'Install', 'Cancel')
CREATE TABLE `Control` (`Dialog_` CHAR(72) NOT NULL, `Control` CHAR(50) NOT NULL, `Type` CHAR(20) NOT NULL, `X` SHORT NOT NULL, `Y` SHORT NOT NULL, `Width` SHORT NOT NULL, `Height` SHORT NOT NULL, `Attributes` LONG, `Property` CHAR(72), `Text` LONGCHAR LOCALIZABLE, `Control_Next` CHAR(50), `Help` CHAR(255) LOCALIZABLE PRIMARY KEY `Dialog_`, `Control`)
INSERT INTO `Control` (`Dialog_`, `Control`, `Type`, `X`, `Y`, `Width`, `Height`, `Attributes`, `Text`) VALUES ('SetupDialog', 'Intro', 'Text', 15, 10, 250, 20, 3, '[ProductName] を次のフォルダにインストールし、スタート メニューに登録します。管理者の権限は要りません。')
INSERT INTO `Control` (`Dialog_`, `Control`, `Type`, `X`, `Y`, `Width`, `Height`, `Attributes`, `Text`) VALUES ('SetupDialog', 'Folder', 'Text', 27, 32, 238, 22, 131075, '[INSTALLDIR]')
INSERT INTO `Control` (`Dialog_`, `Control`, `Type`, `X`, `Y`, `Width`, `Height`, `Attributes`, `Property`, `Text`, `Control_Next`) VALUES ('SetupDialog', 'StartupBox', 'CheckBox', 15, 58, 250, 14, 3, 'STARTUP', 'ログオン時に [ProductName] を起動する(&S)', 'Install')
INSERT INTO `Control` (`Dialog_`, `Control`, `Type`, `X`, `Y`, `Width`, `Height`, `Attributes`, `Text`) VALUES ('SetupDialog', 'StartupNote', 'Text', 27, 74, 238, 20, 3, 'あとから設定ダイアログの「起動」ページでも変えられます。')
INSERT INTO `Control` (`Dialog_`, `Control`, `Type`, `X`, `Y`, `Width`, `Height`, `Attributes`, `Text`, `Control_Next`) VALUES ('SetupDialog', 'Install', 'PushButton', 140, 104, 66, 17, 3, 'インストール(&I)', 'Cancel')
INSERT INTO `Control` (`Dialog_`, `Control`, `Type`, `X`, `Y`, `Width`, `Height`, `Attributes`, `Text`, `Control_Next`) VALUES ('SetupDialog', 'Cancel', 'PushButton', 210, 104, 56, 17, 3, 'キャンセル', 'StartupBox')
CREATE TABLE `CheckBox` (`Property` CHAR(72) NOT NULL, `Value` CHAR(64) PRIMARY KEY `Property`)
INSERT INTO `CheckBox` (`Property`, `Value`) VALUES ('STARTUP', '1')
CREATE TABLE `ControlCondition` (`Dialog_` CHAR(72) NOT NULL, `Control_` CHAR(50) NOT NULL, `Action` CHAR(50) NOT NULL, `Condition` CHAR(255) NOT NULL PRIMARY KEY `Dialog_`, `Control_`, `Action`, `Condition`)
INSERT INTO `ControlCondition` (`Dialog_`, `Control_`, `Action`, `Condition`) VALUES ('SetupDialog', 'StartupBox', 'Disable', 'SAVEDSTARTUP')
CREATE TABLE `ControlEvent` (`Dialog_` CHAR(72) NOT NULL, `Control_` CHAR(50) NOT NULL, `Event` CHAR(50) NOT NULL, `Argument` CHAR(255) NOT NULL, `Condition` CHAR(255), `Ordering` SHORT PRIMARY KEY `Dialog_`, `Control_`, `Event`, `Argument`, `Condition`)
-- The feature's condition was weighed before the dialog: the box's state decides it again.
INSERT INTO `ControlEvent` (`Dialog_`, `Control_`, `Event`, `Argument`, `Condition`, `Ordering`) VALUES ('SetupDialog', 'Install', 'AddLocal', 'StartAtLogon', 'STARTUP = "1"', 1)
INSERT INTO `ControlEvent` (`Dialog_`, `Control_`, `Event`, `Argument`, `Condition`, `Ordering`) VALUES ('SetupDialog', 'Install', 'Remove', 'StartAtLogon', 'STARTUP <> "1"', 2)
INSERT INTO `ControlEvent` (`Dialog_`, `Control_`, `Event`, `Argument`, `Condition`, `Ordering`) VALUES ('SetupDialog', 'Install', 'EndDialog', 'Return', '1', 3)
INSERT INTO `ControlEvent` (`Dialog_`, `Control_`, `Event`, `Argument`, `Condition`, `Ordering`) VALUES ('SetupDialog', 'Cancel', 'EndDialog', 'Exit', '1', 1)
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetupDialog', 'NOT Installed', 1250)

@echo off
rem Reveals the private folder beside the program as drive K:. The folder is made on first use.
rem Running it again while the folder is open changes nothing; no file is touched.
setlocal
set "PRIVATE=%~dp0private"
if not exist "%PRIVATE%\" mkdir "%PRIVATE%"
attrib -h -s "%PRIVATE%"
if not exist K:\ subst K: "%PRIVATE%"
endlocal

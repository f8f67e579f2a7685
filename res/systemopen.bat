@echo off
rem Reveals the private folder beside the program as drive K:. The folder is made on first use.
rem Running it again while the folder is open changes nothing; no file is touched.
setlocal
set "PRIVATE=%~dp0private"
if not exist "%PRIVATE%\" mkdir "%PRIVATE%"
rem Windows clears both attributes in the first call; Wine's attrib applies only the last switch
rem of a call, so the second call, in the other order, completes it there.
attrib -s -h "%PRIVATE%"
attrib -h -s "%PRIVATE%"
if not exist K:\ subst K: "%PRIVATE%"
endlocal

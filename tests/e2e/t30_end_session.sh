# WM_QUERYENDSESSION (log-off) ends the program in order: every settings key is
# written, the trash is emptied, the log's last line ends in "Program ended ".
first_start
end_session

db "insert into cTbl (cDate,cSet,cRTFsw,cHTMLsw,cImageSW,cSource,cNote,cText,cRTF,cHTML)
    values ('2024-01-02  03:04:05','td_trash','N','N','N',' ',' ','seeded trash clip',' ',' '),
           ('2024-01-02  03:04:06','td_clips','N','N','N',' ',' ','seeded kept clip',' ',' ')"
data=$(data_dir)

start_tandrel
wait_main_window
[ "$(db "select count(*) from cTbl where cSet='td_trash'")" = 1 ] || fail "the seeded trash clip is not there while running"
end_session

[ "$(db "select count(*) from cTbl where cSet='td_trash'")" = 0 ] || fail "the trash was not emptied"
[ "$(db "select count(*) from cTbl where cText='seeded kept clip'")" = 1 ] || fail "a clip outside the trash went"

ini=$(tr -d '\r' < "$data/tandrel.ini")
for key in ActiveClipSet clipDatabase LastBackup backupNum clipIndexFile clipDatFile VistaConverted \
           StartWithWindows Version Minimized SupressDuplicates SaveImages UsePNG winPosX winPosY SaveHTML \
           DisplayTooltips ListPaste TopList ReverseCase soundYes clipsConverted ToolTipBG; do
    grep -qi "^$key = " <<<"$ini" || fail "tandrel.ini has no $key"
done
[ "$(grep -ci '^Version = ' <<<"$ini")" = 1 ] || fail "Version is not written once"
grep -q '^winPosX = -\?[0-9]*\.[0-9]\{6\}$' <<<"$ini" || fail "winPosX is not written with six decimals"

last=$(tail -n1 "$data/tandrel.log")
[[ $last == *"Program ended "$'\r' ]] || fail "the log ends with '$last'"

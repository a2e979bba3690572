"""End-to-end scenarios: each starts the built program on a bank of its own, uses it as a person would
and checks what the window shows. Each leaves a screenshot of its last state in the output folder."""
import argparse
import subprocess
import sys
import traceback

import pyatspi

from tessarin_driver import CAPTION, PROMPT, Program, ScenarioFailure, wait_until

QUESTIONS = [
    "中国历史上第一个统一的中央集权王朝是哪个朝代？",
    "唐朝的都城长安位于今天的哪个城市？",
    "水的化学式是什么？A. H2O  B. CO2",
    "世界上面积最大的大洋是哪一个？",
    "《红楼梦》的作者是谁？",
    "“The Old Man and the Sea”的作者是谁？",
    "光在真空中的速度约为每秒多少千米？",
    "太阳系中体积最大的行星是哪一颗？",
    "明朝的开国皇帝是谁？",
    "DNA的中文全称是什么？",
    "地球绕太阳公转一周大约需要多少天？",
    "被称为\"诗圣\"的唐代诗人是谁？",
    "Rock'n'Roll: 摇滚乐起源于哪个国家？",
    "元朝由哪个民族建立？",
]


def expect(condition, message):
    if not condition:
        raise ScenarioFailure(message)


def containing(fragment):
    return [q for q in QUESTIONS if fragment.lower() in q.lower()]


def first_line(text):
    return text.split("\n")[0]


def center_of(node):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return extents.x + extents.width // 2, extents.y + extents.height // 2


def start_on_a_good_bank(args):
    p = Program(args, QUESTIONS)
    try:
        window = wait_until("the main window", p.window)
        expect(window.name == CAPTION, f"caption {window.name!r}")
        expect(window.getRole() == pyatspi.ROLE_FRAME, f"window role {window.getRoleName()!r}")
        wait_until("the status line", lambda: p.status_line() == f"数据库中共有问题： {len(QUESTIONS)} 条")
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        expect(p.search_box().name == PROMPT, f"search box name {p.search_box().name!r}")
        wait_until("the first question in the full-text view", lambda: p.memo_text() == QUESTIONS[0])
        expect(p.result_list() is not None, "the result list is on the accessibility bus")
        rows = p.rows()
        expect(rows[:3] == [first_line(q) for q in QUESTIONS[:3]], f"first rows {rows[:3]}")
        expect(p.current_row() == first_line(QUESTIONS[0]), f"current row {p.current_row()!r}")
        expect(p.list_description() == f"共 {len(QUESTIONS)} 条", f"list description {p.list_description()!r}")
        p.screenshot("start_on_a_good_bank")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
    finally:
        p.stop()


def start_without_a_bank(args):
    p = Program(args, None)
    try:
        first = p.wait_for_box()
        expect(first.name == "tessarin", f"first box caption {first.name!r}")
        text = p.box_text(first)
        expect("data.mdb" in text and text.endswith("."), f"first box text {text!r}")
        expect(p.box_buttons(first) == ["OK"], f"first box buttons {p.box_buttons(first)}")
        p.screenshot("start_without_a_bank_first_box")
        p.answer_box()
        second = p.wait_for_box()
        expect(second.name == "tessarin", f"second box caption {second.name!r}")
        text = p.box_text(second)
        expect(text == "qry1: Cannot perform this operation on a closed dataset.", f"second box text {text!r}")
        p.answer_box()
        wait_until("the main window", p.window)
        expect(p.status_line() == "", f"status line {p.status_line()!r}")
        expect(p.memo_text() == "", "the full-text view is empty")
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        p.screenshot("start_without_a_bank")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
    finally:
        p.stop()


def typing_narrows_the_list(args):
    typed = "朝代" + "H2o" + "\"" + "'Roll:"
    p = Program(args, QUESTIONS, typed_characters=typed)
    try:
        wait_until("the main window", p.window)
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))

        def shows(fragment):
            expected = containing(fragment)
            def check():
                if p.search_text() != fragment:
                    return False
                memo_ok = p.memo_text() == (expected[0] if expected else "")
                rows_ok = p.rows()[:len(expected)] == [first_line(q) for q in expected]
                count_ok = p.list_description() == f"共 {len(expected)} 条"
                return memo_ok and rows_ok and count_ok
            wait_until(f"the list for {fragment!r} ({len(expected)} questions)", check)

        expect(containing("\"") and containing("'Roll:") and containing("朝代"), "the bank holds what is searched for")
        text = ""
        for ch in "朝代":
            p.type(ch)
            text += ch
            shows(text)
        for _ in range(2):
            p.key("BackSpace")
            text = text[:-1]
        wait_until("the whole bank again", lambda: p.search_text() == "" and p.memo_text() == QUESTIONS[0])
        for ch in "H2o":  # letter case ignored
            p.type(ch)
            text += ch
            shows(text)
        p.key("ctrl+a", "BackSpace")
        p.type("\"")
        shows("\"")
        expect(not p.boxes(), "a double quote is searched for as text, without an error box")
        p.key("BackSpace")
        p.type("'Roll:")
        shows("'Roll:")
        expect(not p.boxes(), "an apostrophe followed by a colon is searched for as text")
        p.screenshot("typing_narrows_the_list")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
    finally:
        p.stop()


def keys_and_clicks_move_the_current_row(args):
    p = Program(args, QUESTIONS, listen=True)
    try:
        wait_until("the main window", p.window)
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        p.key("shift+Tab")  # from the search box back to the list

        def current_is(question, since, selected=True):
            """The memo, the list's selected item and its focus all show the question, and since the mark
            a reader was told that its item took the focus (and the selection)."""
            name = first_line(question)
            wait_until(f"the current row {name!r}", lambda: p.memo_text() == question and p.current_row() == name
                       and p.focused_is(p.current_row_node()))
            wait_until(f"a reader told of {name!r}", lambda: p.heard_since(since, "focused", name)
                       and (not selected or p.heard_since(since, "selected", name)))

        current_is(QUESTIONS[0], 0, selected=False)  # the list took the focus; its current row was selected
        # Each key, the question it makes current, and a row the list then shows on screen (its slot).
        steps = (("Down", QUESTIONS[1], 0, QUESTIONS[0]), ("Down", QUESTIONS[2], 0, QUESTIONS[0]),
                 ("End", QUESTIONS[-1], -1, QUESTIONS[-1]), ("Home", QUESTIONS[0], 0, QUESTIONS[0]))
        for key, question, slot, shown in steps:
            mark = p.heard_mark()
            p.key(key)
            current_is(question, mark)
            rows = p.rows()
            expect(rows[slot] == first_line(shown), f"after {key}: rows on screen {rows}")
        p.key("Next")
        wait_until("a page further", lambda: p.memo_text() != QUESTIONS[0]
                   and p.current_row() not in (None, first_line(QUESTIONS[0])))
        # A click where the list says a row is makes that row current, and that point finds the row.
        target = p.row_nodes()[3]
        name = target.name
        mark = p.heard_mark()
        p.click(target)
        current_is(next(q for q in QUESTIONS if first_line(q) == name), mark)
        x, y = center_of(p.current_row_node())
        found = p.result_list().queryComponent().getAccessibleAtPoint(x, y, pyatspi.DESKTOP_COORDS)
        expect(found is not None and found.name == name, "the point finds the clicked row")
        p.screenshot("keys_and_clicks_move_the_current_row")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
    finally:
        p.stop()


def stored_questions(p):
    """The questions as the bank file holds them, read by mdbtools (an independent reader)."""
    import json
    out = subprocess.run(["mdb-json", p.work + "/data.mdb", "tiku"], capture_output=True, text=True, check=True).stdout
    rows = [json.loads(line) for line in out.splitlines() if line.strip()]
    return [r.get("题目", "") for r in sorted(rows, key=lambda r: r["ID"])]


def ctrl_delete_asks_and_deletes(args):
    p = Program(args, QUESTIONS[:4])
    try:
        wait_until("the main window", p.window)
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        p.key("shift+Tab")  # to the list
        p.key("Down")
        wait_until("the second question", lambda: p.memo_text() == QUESTIONS[1])
        p.key("ctrl+Delete")
        box = p.wait_for_box()
        expect(box.name == "Confirm", f"confirmation caption {box.name!r}")
        expect(p.box_text(box) == "Delete record?", f"confirmation text {p.box_text(box)!r}")
        expect(p.box_buttons(box) == ["OK", "Cancel"], f"buttons {p.box_buttons(box)}")
        p.answer_box("Escape")  # Cancel
        expect(stored_questions(p) == QUESTIONS[:4], "Cancel deletes nothing")
        p.key("ctrl+Delete")
        p.answer_box("Return")  # OK, the default
        wait_until("the next question current", lambda: p.memo_text() == QUESTIONS[2])
        expect(stored_questions(p) == [QUESTIONS[0]] + QUESTIONS[2:4], "the question is gone from the file")
        wait_until("the list without it", lambda: QUESTIONS[1] not in p.rows())
        wait_until("the status line counting again", lambda: p.status_line() == "数据库中共有问题： 3 条")
        p.screenshot("ctrl_delete_asks_and_deletes")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
    finally:
        p.stop()


def edits_are_saved_and_kept(args):
    p = Program(args, QUESTIONS[:4])
    try:
        wait_until("the main window", p.window)
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        # An edit saved by moving to another row.
        p.key("Tab")  # to the full-text view
        p.key("ctrl+End")
        p.type(" A")
        p.key("Tab")  # to the list
        p.key("Down")
        wait_until("the second question", lambda: p.memo_text() == QUESTIONS[1])
        expect(stored_questions(p)[0] == QUESTIONS[0] + " A", "the edit reached the file after the move")
        # An edit kept across a search.
        p.key("Tab")  # to the search box
        p.key("Tab")  # to the full-text view
        p.key("ctrl+End")
        p.type(" B")
        p.click(p.search_box())
        p.type("B")
        wait_until("the search for the saved text", lambda: p.memo_text() == QUESTIONS[1] + " B")
        expect(stored_questions(p)[1] == QUESTIONS[1] + " B", "the edit was saved before the search ran")
        # An edit kept across closing the window.
        p.key("Tab")
        p.key("ctrl+End")
        p.type(" C")
        p.screenshot("edits_are_saved_and_kept")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
        expect(stored_questions(p)[1] == QUESTIONS[1] + " B C", "the edit was saved when the window closed")
    finally:
        p.stop()


SCENARIOS = {
    "start_on_a_good_bank": start_on_a_good_bank,
    "start_without_a_bank": start_without_a_bank,
    "typing_narrows_the_list": typing_narrows_the_list,
    "keys_and_clicks_move_the_current_row": keys_and_clicks_move_the_current_row,
    "ctrl_delete_asks_and_deletes": ctrl_delete_asks_and_deletes,
    "edits_are_saved_and_kept": edits_are_saved_and_kept,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tessarin", required=True)
    parser.add_argument("--bank-tool", required=True)
    parser.add_argument("--scenario", required=True, choices=sorted(SCENARIOS))
    parser.add_argument("--out", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    try:
        SCENARIOS[args.scenario](args)
    except ScenarioFailure as failure:
        subprocess.run(["import", "-window", "root", f"{args.out}/{args.scenario}_failed.png"], check=False)
        print(f"FAILED {args.scenario}: {failure}", file=sys.stderr)
        return 1
    except Exception:
        traceback.print_exc()
        return 1
    print(f"passed {args.scenario}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

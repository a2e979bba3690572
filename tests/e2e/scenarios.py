"""End-to-end scenarios: each starts the built program on a bank of its own, uses it as a person would
and checks what the window shows. Each leaves a screenshot of its last state in the output folder."""
import argparse
import subprocess
import sys
import traceback

from tessarin_driver import CAPTION, Program, ScenarioFailure, wait_until

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


def start_on_a_good_bank(args):
    p = Program(args, QUESTIONS)
    try:
        window = wait_until("the main window", p.window)
        expect(window.name == CAPTION, f"caption {window.name!r}")
        wait_until("the status line", lambda: p.status_line() == f"数据库中共有问题： {len(QUESTIONS)} 条")
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        wait_until("the first question in the full-text view", lambda: p.memo_text() == QUESTIONS[0])
        if p.result_list() is not None:
            rows = p.rows()
            expect(rows[:3] == [first_line(q) for q in QUESTIONS[:3]], f"first rows {rows[:3]}")
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
                rows_ok = p.result_list() is None or p.rows()[:len(expected)] == [first_line(q) for q in expected]
                return memo_ok and rows_ok
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
    p = Program(args, QUESTIONS)
    try:
        wait_until("the main window", p.window)
        wait_until("the caret in the search box", lambda: p.focused_is(p.search_box()))
        p.key("shift+Tab")  # from the search box back to the list
        p.key("Down")
        wait_until("the second question", lambda: p.memo_text() == QUESTIONS[1])
        p.key("Down")
        wait_until("the third question", lambda: p.memo_text() == QUESTIONS[2])
        p.key("End")
        wait_until("the last question", lambda: p.memo_text() == QUESTIONS[-1])
        p.key("Home")
        wait_until("the first question", lambda: p.memo_text() == QUESTIONS[0])
        p.key("Next")
        wait_until("a page further", lambda: p.memo_text() != QUESTIONS[0])
        grid = p.result_list()
        if grid is not None:
            rows = [c for c in p.row_nodes()]
            p.click(rows[3])
            wait_until("the clicked question", lambda: p.memo_text() == QUESTIONS[3])
        p.screenshot("keys_and_clicks_move_the_current_row")
        p.close_window()
        expect(p.exit_code() == 0, "exit code after closing")
    finally:
        p.stop()


SCENARIOS = {
    "start_on_a_good_bank": start_on_a_good_bank,
    "start_without_a_bank": start_without_a_bank,
    "typing_narrows_the_list": typing_narrows_the_list,
    "keys_and_clicks_move_the_current_row": keys_and_clicks_move_the_current_row,
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

// Prints every row of one table of an Access file as JSON lines, read by the independent reader
// mdb-reader: node read_with_mdb_reader.mjs FILE TABLE. Null stays null; text stays text.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, table] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));
if (table === undefined) {
    console.log(JSON.stringify(reader.getTableNames()));
} else {
    const t = reader.getTable(table);
    console.log(JSON.stringify({ columns: t.getColumnNames(), rowCount: t.rowCount }));
    for (const row of t.getData()) console.log(JSON.stringify(row));
}

// Reads an Access file with the independent reader mdb-reader.
//   node read_with_mdb_reader.mjs FILE          the user tables' names, one a line
//   node read_with_mdb_reader.mjs FILE TABLE    the table's rows as JSON lines, in storage order
// In rows, Null is null, binary values are {"$binary": base64} (as mdb-json prints them) and dates
// are ISO strings.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, table] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file));
if (table === undefined) {
    for (const name of reader.getTableNames()) console.log(name);
} else {
    const out = [];
    for (const row of reader.getTable(table).getData()) {
        const plain = {};
        for (const [key, value] of Object.entries(row)) {
            if (Buffer.isBuffer(value)) plain[key] = { $binary: value.toString("base64") };
            else if (value instanceof Date) plain[key] = value.toISOString();
            else plain[key] = value;
        }
        out.push(JSON.stringify(plain));
    }
    process.stdout.write(out.length ? out.join("\n") + "\n" : "");
}

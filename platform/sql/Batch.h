#pragma once
// A batch of the component's dialect split into its statements. Statements may follow each
// other on new lines or after blanks only, so the splitter knows which keywords start one.
#include <QString>
#include <memory>
#include <vector>

#include "platform/sql/Lexer.h"

namespace platform::sql {

struct Statement {
    enum class Kind {
        Sql,      // a statement the database runs (SELECT, INSERT, CREATE …): `tokens`
        Declare,  // DECLARE @variable type [= expression]
        Set,      // SET @variable = expression (`tokens` hold the expression)
        If,       // IF condition (`tokens`) body [ELSE elseBody]
        Block,    // BEGIN … END: `body`
        Exec,     // EXEC procedure, or a batch that is only a procedure name
        Nothing,  // SET NOCOUNT ON, PRINT …, GO: no effect here
        Return,   // ends the batch
    };
    Kind kind = Kind::Nothing;
    std::vector<Token> tokens;
    QString source;     // the statement as written in the batch
    QString variable;   // Declare, Set: lower-cased name with its "@"
    QString typeName;   // Declare: the declared type as written ("nvarchar(100)")
    QString procedure;  // Exec
    std::vector<Statement> body;
    std::vector<Statement> elseBody;
};

struct Batch {
    std::vector<Statement> statements;
};

// Splits the batch; false with `error` naming the statement or construct it cannot take.
bool parseBatch(const QString& sql, Batch* batch, QString* error);

// Source text of a statement for messages: blanks folded, at most 300 characters.
QString statementText(const QString& source);

}  // namespace platform::sql

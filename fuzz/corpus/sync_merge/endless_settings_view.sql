CREATE TABLE ACCOUNTS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, name_modified INTEGER,
  type INTEGER, type_modified INTEGER, bank_name TEXT, bank_name_modified INTEGER,
  account_number TEXT, account_number_modified INTEGER, check_number INTEGER,
  check_number_modified INTEGER, opening_balance REAL, opening_balance_modified INTEGER,
  icon INTEGER, icon_modified INTEGER, include_in_totals INTEGER, include_in_totals_modified INTEGER,
  online_enabled INTEGER, online_enabled_modified INTEGER, statement_balance REAL,
  statement_balance_modified INTEGER, statement_date INTEGER, statement_date_modified INTEGER,
  reconcile_opening REAL, reconcile_opening_modified INTEGER, reconcile_ending REAL,
  reconcile_ending_modified INTEGER, reconcile_date INTEGER, reconcile_date_modified INTEGER,
  online_block BLOB, online_block_modified INTEGER, institution_id INTEGER,
  institution_id_modified INTEGER, routing_number TEXT, routing_number_modified INTEGER,
  online_account_id TEXT, online_account_id_modified INTEGER, currency_id INTEGER,
  currency_id_modified INTEGER, category_id INTEGER, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, online_balance REAL, flags INTEGER);
CREATE TABLE CATEGORIES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, parent_code INTEGER,
  fixed_code INTEGER, icon INTEGER, budget REAL, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, parent_id INTEGER);
CREATE TABLE CLASSES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, fixed_code INTEGER,
  amount REAL, modified INTEGER, deleted INTEGER, sort_order INTEGER);
CREATE TABLE CURRENCIES (identifier INTEGER PRIMARY KEY, symbol TEXT, currency_id INTEGER,
  conversion REAL, name TEXT, base_changed INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT, budget REAL,
  sort_order INTEGER, transaction_id INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE PAYEE_LOOKUP_ITEMS (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT,
  payee_name TEXT, modified INTEGER, deleted INTEGER, sort_order INTEGER);
CREATE TABLE SCHEDULED_TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, sort_order INTEGER,
  date INTEGER, next_date INTEGER, frequency INTEGER, repeat_count INTEGER, enter_mode INTEGER,
  days INTEGER, transaction_id INTEGER, modified INTEGER, deleted INTEGER);
CREATE TABLE TRANSACTION_TYPES (identifier INTEGER PRIMARY KEY, uid BLOB, name TEXT,
  outflow INTEGER, numbered INTEGER, built_in INTEGER, modified INTEGER, deleted INTEGER,
  sort_order INTEGER, flags INTEGER);
CREATE TABLE TRANSACTIONS (identifier INTEGER PRIMARY KEY, uid BLOB, sort_order INTEGER,
  amount REAL, memo TEXT, payee_name TEXT, date INTEGER, specific INTEGER,
  pending_reconcile INTEGER, status INTEGER, base_amount REAL, accepted INTEGER, kind INTEGER,
  split_transfer INTEGER, split_transfer_index INTEGER, transfer_uid BLOB, fit_id TEXT,
  payee_lookup_item_uid BLOB, match_uid BLOB, transaction_class_id INTEGER, category_id INTEGER,
  original_currency_id INTEGER, type_id INTEGER, modified INTEGER, deleted INTEGER,
  account_id INTEGER);
CREATE TABLE SPLITS (identifier INTEGER PRIMARY KEY, amount REAL, memo TEXT, line_index INTEGER,
  transfer_uid BLOB, class_id INTEGER, category_id INTEGER, deleted INTEGER, modified INTEGER,
  transaction_id INTEGER);
CREATE VIEW SETTINGS AS WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r)
  SELECT 'HHDeviceUniqueSerial' AS name, 'FUZZ-KNOWN' AS value FROM r WHERE i < 0;
